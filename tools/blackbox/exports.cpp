// The shell's window, style and file services that plugins import.
#include "shell.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

StyleItem makeStyle(int gradientType, COLORREF from, COLORREF to, COLORREF text, int fontHeight) {
    StyleItem style{};
    style.gradientType = gradientType;
    style.color = from;
    style.colorTo = to;
    style.textColor = text;
    style.fontHeight = fontHeight;
    style.fontWeight = FW_NORMAL;
    style.justify = 1;
    std::strcpy(style.fontFace, "Tahoma");
    style.marginWidth = 2;
    style.borderWidth = 1;
    style.borderColor = RGB(0x40, 0x40, 0x40);
    style.bordered = 1;
    return style;
}

// Index 1..6: Toolbar, Button, ButtonP, Label, WinLabel, Clock. Each has
// its own colours and height so a test can tell which one was used.
StyleItem styles[6] = {
    makeStyle(2, RGB(0xE0, 0xE0, 0xE0), RGB(0xA0, 0xA0, 0xA0), RGB(0, 0, 0), 12),
    makeStyle(1, RGB(0xFF, 0xFF, 0xFF), RGB(0xB0, 0xC8, 0xE8), RGB(0x10, 0x20, 0x60), 11),
    makeStyle(2, RGB(0x50, 0x50, 0x50), RGB(0x90, 0x90, 0x90), RGB(0xFF, 0xFF, 0xFF), 11),
    makeStyle(0, RGB(0xFF, 0xF8, 0xC0), RGB(0xFF, 0xF8, 0xC0), RGB(0, 0, 0), 13),
    makeStyle(1, RGB(0x20, 0x40, 0xA0), RGB(0x10, 0x18, 0x50), RGB(0xFF, 0xFF, 0xFF), 12),
    makeStyle(2, RGB(0x20, 0x30, 0x20), RGB(0x40, 0x60, 0x40), RGB(0x80, 0xFF, 0x80), 14),
};
int borderWidth = 2;  // index 12
int bevelWidth = 1;   // index 14

COLORREF blend(COLORREF from, COLORREF to, int step, int steps) {
    if (steps <= 1) {
        return from;
    }
    auto channel = [&](int shift) {
        int a = (from >> shift) & 0xFF;
        int b = (to >> shift) & 0xFF;
        return static_cast<COLORREF>(a + (b - a) * step / (steps - 1)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

void fillStrip(HDC dc, const RECT& strip, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &strip, brush);
    DeleteObject(brush);
}

shell::GradientRecord gradient;

}  // namespace

const shell::GradientRecord& shell::recordedGradient() { return gradient; }

BBAPI HWND GetBBWnd(void) { return shell::hostWindow(); }

BBAPI void* GetSettingPtr(int index) {
    if (index >= 1 && index <= 6) {
        return &styles[index - 1];
    }
    if (index == SETTING_BEVEL_WIDTH) {
        return &bevelWidth;
    }
    if (index == SETTING_BORDER_WIDTH) {
        return &borderWidth;
    }
    return nullptr;
}

BBAPI void MakeStyleGradient(HDC hdc, RECT* rect, StyleItem* style, bool withBorder) {
    if (!hdc || !rect || !style) {
        return;
    }
    gradient.valid = true;
    gradient.style = *style;
    gradient.withBorder = withBorder;
    const RECT r = *rect;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    if (style->gradientType == 1) {
        for (int i = 0; i < width; ++i) {
            RECT strip{r.left + i, r.top, r.left + i + 1, r.bottom};
            fillStrip(hdc, strip, blend(style->color, style->colorTo, i, width));
        }
    } else if (style->gradientType == 2) {
        for (int i = 0; i < height; ++i) {
            RECT strip{r.left, r.top + i, r.right, r.top + i + 1};
            fillStrip(hdc, strip, blend(style->color, style->colorTo, i, height));
        }
    } else {
        fillStrip(hdc, r, style->color);
    }
    if (withBorder) {
        HBRUSH brush = CreateSolidBrush(style->borderColor);
        FrameRect(hdc, &r, brush);
        DeleteObject(brush);
    }
}

// Moves a proposed position that lies within `distance` of an edge of its
// monitor (of its work area unless the flags ask for the whole screen) onto
// that edge.
BBAPI void SnapWindowToEdge(WINDOWPOS* pos, LPARAM distance, UINT flags) {
    if (!pos || (pos->flags & SWP_NOMOVE)) {
        return;
    }
    int cx = pos->cx;
    int cy = pos->cy;
    RECT current{};
    if ((pos->flags & SWP_NOSIZE) && pos->hwnd && GetWindowRect(pos->hwnd, &current)) {
        cx = current.right - current.left;
        cy = current.bottom - current.top;
    }
    RECT proposed{pos->x, pos->y, pos->x + cx, pos->y + cy};
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromRect(&proposed, MONITOR_DEFAULTTONEAREST), &info)) {
        screen = (flags & SNAP_WHOLE_SCREEN) ? info.rcMonitor : info.rcWork;
    }
    if (std::abs(pos->x - screen.left) <= distance) {
        pos->x = screen.left;
    } else if (std::abs(pos->x + cx - screen.right) <= distance) {
        pos->x = screen.right - cx;
    }
    if (std::abs(pos->y - screen.top) <= distance) {
        pos->y = screen.top;
    } else if (std::abs(pos->y + cy - screen.bottom) <= distance) {
        pos->y = screen.bottom - cy;
    }
}

BBAPI void MakeSticky(HWND window) {
    if (!window) {
        return;
    }
    auto& list = shell::stickyWindows();
    if (std::find(list.begin(), list.end(), window) == list.end()) {
        list.push_back(window);
    }
}

BBAPI void RemoveSticky(HWND window) {
    auto& list = shell::stickyWindows();
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

// Scripts must not start an editor, so a scripted run only reports the
// file it would open.
BBAPI BOOL BBExecute(HWND owner, const char* verb, const char* file, const char* args,
                     const char* directory, int showCommand, bool /*noErrorMessages*/) {
    shell::say("execute", shell::escape(file ? file : ""));
    if (!file || !*file) {
        return FALSE;
    }
    if (shell::scripted()) {
        return TRUE;
    }
    HINSTANCE result = ShellExecuteA(owner, verb, file, args, directory, showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

BBAPI bool FileExists(const char* path) {
    if (!path || !*path) {
        return false;
    }
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The stand-in's own folder with its trailing backslash; an empty text
// when the buffer cannot hold it, never a folder cut short.
BBAPI LPSTR WINAPI GetBlackboxPath(LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        return buffer;
    }
    buffer[0] = '\0';
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return buffer;
    }
    char* slash = std::strrchr(path, '\\');
    if (!slash) {
        return buffer;
    }
    slash[1] = '\0';
    size_t needed = std::strlen(path) + 1;
    if (needed <= static_cast<size_t>(size)) {
        std::memcpy(buffer, path, needed);
    }
    return buffer;
}
