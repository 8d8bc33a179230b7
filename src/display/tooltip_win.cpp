#include "display/tooltip.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstddef>

#include "host/frame.h"
#include "settings/settings.h"

namespace {

// The headers declare the record of common controls 6, but version 5 (a
// shell without a manifest asking for 6) refuses that size, and the tool
// would never show. The version-2 record is taken by every version.
constexpr UINT kToolRecordSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);
static_assert(sizeof(void*) != 4 || kToolRecordSize == 44, "32-bit tool record is 44 bytes");
static_assert(sizeof(void*) != 8 || kToolRecordSize == 64, "64-bit tool record is 64 bytes");

HWND tipWindow;
TooltipTool tool;

void describeTool(TOOLINFOA* info) {
    *info = TOOLINFOA{};
    info->cbSize = kToolRecordSize;
    // No TTF_SUBCLASS: the whole window is caption, so the control's
    // subclass never sees a client mouse message (relayTooltipMouse hands
    // it the moves), yet it stands in the path of every message the window
    // gets, the timer's included, at a window-property lookup each.
    info->uFlags = 0;
    info->hwnd = frame.window;
    info->uId = 1;
    info->rect = tool.rect;
    info->lpszText = tool.text;
}

}  // namespace

void createTooltip() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    if (InitCommonControlsEx(&controls)) {
        tipWindow = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                    frame.instance, nullptr);
    }
    if (!tipWindow) {
        return;
    }
    SendMessageA(tipWindow, TTM_SETMAXTIPWIDTH, 0, 300);
    SendMessageA(tipWindow, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(4000, 0));
    SendMessageA(tipWindow, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(120, 0));
    SendMessageA(tipWindow, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(60, 0));
    activateTooltip(settings.allowTooltip);
}

void destroyTooltip() {
    if (tipWindow) {
        DestroyWindow(tipWindow);
        tipWindow = nullptr;
    }
    tool = TooltipTool{};
}

void updateTooltip(const RECT& rect, const char* text) {
    if (!tipWindow) {
        return;
    }
    unsigned changes = trackTooltip(&tool, rect, text);
    if (changes == 0) {
        return;
    }
    TOOLINFOA info;
    describeTool(&info);
    if (changes & TipAdd) {
        // Retried on the next paint if the control refused it.
        tool.added = SendMessageA(tipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
        return;
    }
    if (changes & TipMove) {
        SendMessageA(tipWindow, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (changes & TipText) {
        SendMessageA(tipWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void activateTooltip(bool on) {
    if (tipWindow) {
        SendMessageA(tipWindow, TTM_ACTIVATE, on ? TRUE : FALSE, 0);
    }
}

void relayTooltipMouse(HWND window, LPARAM screenPoint) {
    if (!tipWindow) {
        return;
    }
    // The whole window is caption to the system, so the control's own
    // subclassing never sees a client mouse move; hand it one.
    POINT point = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ScreenToClient(window, &point);
    MSG message = {};
    message.hwnd = window;
    message.message = WM_MOUSEMOVE;
    message.lParam = MAKELPARAM(point.x, point.y);
    message.time = GetMessageTime();
    GetCursorPos(&message.pt);
    SendMessageA(tipWindow, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}
