#include "display/placement.h"
#include "display/tooltip.h"

#include <utility>

#include "display/render.h"
#include "host/frame.h"
#include "host/lookup_win.h"
#include "metrics/system.h"
#include "settings/menu.h"
#include "settings/settings.h"

namespace {

typedef HMONITOR(WINAPI* MonitorFromWindowFn)(HWND, DWORD);
typedef BOOL(WINAPI* GetMonitorInfoFn)(HMONITOR, LPMONITORINFO);
typedef BOOL(WINAPI* SetLayeredFn)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL(WINAPI* EnumDisplayMonitorsFn)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);

enum class Lookup { NotYet, Missing, Present };

// Older systems lack these.
template <typename Fn>
Fn user32Function(const char* name) {
    return systemFunction<Fn>(GetModuleHandleA("user32.dll"), name);
}

constexpr UINT kPlaceFlags = SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSENDCHANGING;

// Puts the window at (x, y), or at its hidden position while hidden.
void placeWindow() {
    POINT at = {settings.x, settings.y};
    bool atEdge = edgeHidePosition(&at);
    HWND after = atEdge || settings.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST;
    UINT flags = kPlaceFlags | (settings.inSlit ? SWP_NOMOVE : 0);
    SetWindowPos(frame.window, after, at.x, at.y, settings.width, settings.height, flags);
}

void startPoll(HWND window) {
    SetTimer(window, TIMER_AUTOHIDE, kAutoHidePollMs, nullptr);
}

void pollAutoHide(HWND window) {
    bool atEdge = edgeHidePosition(nullptr);
    if (atEdge) {
        POINT cursor;
        RECT bounds;
        GetCursorPos(&cursor);
        GetWindowRect(window, &bounds);
        // Keep waiting while the user is over the window or dragging.
        if (PtInRect(&bounds, cursor) || (GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
            return;
        }
    }
    hidden = atEdge;
    KillTimer(window, TIMER_AUTOHIDE);
    placeWindow();
}

void reveal(HWND window) {
    if (!hidden) {
        return;
    }
    hidden = false;
    if (!settings.inSlit) {
        placeWindow();
        startPoll(window);
    }
}

struct MonitorList {
    MonitorArea areas[16];
    int count;
    GetMonitorInfoFn getMonitorInfo;
};

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MonitorList* list = reinterpret_cast<MonitorList*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (list->count < 16 && list->getMonitorInfo(monitor, &info)) {
        MonitorArea& area = list->areas[list->count++];
        area.monitor = info.rcMonitor;
        area.work = info.rcWork;
        // The primary monitor first: it wins a tie.
        if ((info.dwFlags & MONITORINFOF_PRIMARY) && list->count > 1) {
            std::swap(area, list->areas[0]);
        }
    }
    return TRUE;
}

// Every monitor, the primary first; the primary screen alone where the
// system cannot list them.
int listMonitors(MonitorList* list) {
    const EnumDisplayMonitorsFn enumMonitors =
        user32Function<EnumDisplayMonitorsFn>("EnumDisplayMonitors");
    list->count = 0;
    list->getMonitorInfo = user32Function<GetMonitorInfoFn>("GetMonitorInfoA");
    if (enumMonitors && list->getMonitorInfo) {
        enumMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(list));
    }
    if (list->count == 0) {
        MonitorArea& primary = list->areas[list->count++];
        primary.monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &primary.work, 0)) {
            primary.work = primary.monitor;
        }
    }
    return list->count;
}

}  // namespace

bool keepOnScreen() {
    if (settings.inSlit) {
        return false;  // the slit's business
    }
    MonitorList list;
    POINT at = {settings.x, settings.y};
    const int count = listMonitors(&list);
    if (!bringOntoMonitors(list.areas, count, settings.width, settings.height, &at)) {
        return false;
    }
    settings.x = at.x;
    settings.y = at.y;
    return true;
}

RECT monitorRect(HWND window) {
    static Lookup state = Lookup::NotYet;
    static MonitorFromWindowFn monitorFromWindow;
    static GetMonitorInfoFn getMonitorInfo;
    if (state == Lookup::NotYet) {
        monitorFromWindow = user32Function<MonitorFromWindowFn>("MonitorFromWindow");
        getMonitorInfo = user32Function<GetMonitorInfoFn>("GetMonitorInfoA");
        state = monitorFromWindow && getMonitorInfo ? Lookup::Present : Lookup::Missing;
    }
    if (state == Lookup::Present) {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        HMONITOR monitor = monitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
        if (monitor && getMonitorInfo(monitor, &info)) {
            return info.rcMonitor;
        }
    }
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return screen;
}

bool edgeHidePosition(POINT* point) {
    return edgeHideAt(monitorRect(frame.window), point);
}

BOOL setLayeredAttributes(HWND window, COLORREF key, unsigned char alpha, unsigned flags) {
    static Lookup state = Lookup::NotYet;
    static SetLayeredFn setLayered;
    if (state == Lookup::NotYet) {
        setLayered = user32Function<SetLayeredFn>("SetLayeredWindowAttributes");
        state = setLayered ? Lookup::Present : Lookup::Missing;
    }
    if (state == Lookup::Missing) {
        return TRUE;
    }
    return setLayered(window, key, alpha, flags);
}

void applyTransparency() {
    if (platformId == 2) {
        HWND window = frame.window;
        LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
        if (settings.inSlit) {
            // The slit draws its own windows; a layered child would vanish.
            SetWindowLongPtrA(window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        } else {
            SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
            setLayeredAttributes(window, 0, layeredAlpha(), LWA_ALPHA);
        }
    }
    InvalidateRect(frame.window, nullptr, FALSE);
    buildMenu(false);
}

void applyTopmost(bool topmost) {
    SetWindowPos(frame.window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void startAutoHide() {
    hidden = edgeHidePosition(nullptr);
    startPoll(frame.window);
}

void toggleAutoHide() {
    settings.autoHide = !settings.autoHide;
    hidden = edgeHidePosition(nullptr);
    placeWindow();
}

void placeAsSettings() {
    if (settings.inSlit) {
        issueWindowSize();
        return;
    }
    hidden = false;
    placeWindow();
    applyTopmost(settings.alwaysOnTop);
    startAutoHide();
}

bool handlePlacementMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* result) {
    *result = 0;
    switch (message) {
    case WM_WINDOWPOSCHANGING:
        // Sizes and places set by commands, the menu, auto-resize or a
        // start stay as given; only the user's drag is pulled to an edge.
        if (dragging && !settings.inSlit && settings.snapWindow && IsWindowVisible(window)) {
            SnapWindowToEdge(reinterpret_cast<WINDOWPOS*>(lParam), kSnapDistance,
                             SNAP_WHOLE_SCREEN);
        }
        return true;

    case WM_ENTERSIZEMOVE:
        dragging = true;
        return true;

    case WM_WINDOWPOSCHANGED:
        if (settings.inSlit) {
            // The slit holds the window now: it is no longer tucked away,
            // and once floated again its drags must be recorded.
            hidden = false;
        } else if (!hidden) {  // the hidden position is not where the window lives
            const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            settings.x = pos->x;
            settings.y = pos->y;
            if (resizeWindow(pos->cx, pos->cy)) {
                InvalidateRect(window, nullptr, TRUE);
            }
        }
        return true;

    case WM_DISPLAYCHANGE:
        if (!settings.inSlit) {
            int newWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
            int newHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
            reanchorToDisplay(frame.virtualWidth, frame.virtualHeight, newWidth, newHeight);
            // A monitor that went may have taken the window with it.
            keepOnScreen();
            frame.virtualWidth = newWidth;
            frame.virtualHeight = newHeight;
            // The move shows the window at its place, so it is no longer
            // hidden; the poll tucks it away again if it still sits at an edge.
            const bool wasHidden = hidden;
            hidden = false;
            MoveWindow(window, settings.x, settings.y, settings.width, settings.height, TRUE);
            if (wasHidden) {
                startPoll(window);
            }
        }
        return true;

    case WM_NCHITTEST:
        *result = placementHitTest((GetKeyState(VK_MENU) & 0x8000) != 0);
        return true;

    case WM_NCMOUSEMOVE:
        relayTooltipMouse(window, lParam);
        reveal(window);
        return true;

    case WM_NCLBUTTONDOWN:
        // Not locked: the default handling starts the drag.
        return settings.inSlit || settings.lockPos;

    case WM_NCRBUTTONUP:
        buildMenu(true);
        return true;

    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_CLOSE:
        return true;

    case WM_EXITSIZEMOVE:
        dragging = false;
        hidden = edgeHidePosition(nullptr);
        startPoll(window);
        return true;

    case WM_TIMER:
        if (wParam == TIMER_AUTOHIDE) {
            pollAutoHide(window);
            return true;
        }
        return false;

    default:
        return false;
    }
}
