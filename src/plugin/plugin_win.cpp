#include <windows.h>

#include "display/placement.h"
#include "display/render.h"
#include "display/tooltip.h"
#include "format/format.h"
#include "format/history.h"
#include "format/warnings.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "settings/dialogs.h"
#include "plugin/frame.h"
#include "plugin/plugin.h"
#include "settings/menu.h"
#include "settings/settings.h"
#include "worker/worker.h"

namespace {

const unsigned kUpdateTimers[] = {TIMER_MAIN, TIMER_DISK, TIMER_UPTIME, TIMER_HDTEMP};

LPARAM messageList() {
    return reinterpret_cast<LPARAM>(registeredMessages);
}

void runTimer(WPARAM id) {
    if (id == TIMER_MAIN) {
        // The worker starts on this tick's queries once its paint is done;
        // a tick whose paint never came (a hidden window) lets go here.
        releaseWakeUps();
        holdWakeUps();
    }
    runTimerUpdaters(static_cast<unsigned>(id));
    refreshWarnings(GetTickCount());
    // The slower timers only write their segments; the next paint shows them.
    if (id == TIMER_MAIN) {
        takeSegmentChanges();  // the paint asked for here shows them all
        InvalidateRect(frame.window, nullptr, FALSE);
    }
}

bool isUpdateTimer(WPARAM id) {
    return id >= TIMER_MAIN && id <= TIMER_HDTEMP;
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const ShellCall call;
    // Messages sent while CreateWindowEx runs find no plugin state yet.
    if (frame.window == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            takeSegmentChanges();
            assembleDisplayText();
            paintWindow(hwnd);
            releaseWakeUps();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting is double-buffered and covers everything
        case WM_TIMER:
            if (isUpdateTimer(wParam)) {
                runTimer(wParam);
                return 0;
            }
            break;
        case MSG_RECONFIGURE:
        case MSG_STYLE_REFRESH:
        case MSG_BROADCAST:
            return handleHostMessage(message, wParam, lParam);
        case kAnswersMessage:
            // Shown at once: with a long main interval the next paint
            // could be far off.
            if (applyAnswers(GetTickCount())) {
                InvalidateRect(hwnd, nullptr, FALSE);
            }
            return 0;
        default:
            break;
    }
    LRESULT result = 0;
    if (handlePlacementMessage(hwnd, message, wParam, lParam, &result)) {
        return result;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void startPlugin() {
    startWorker(frame.window);
    createSystemSampler();
    SetTimer(frame.window, TIMER_MAIN, timerPeriodMs(settings.mainInterval), nullptr);
    SetTimer(frame.window, TIMER_DISK, timerPeriodMs(settings.diskInterval), nullptr);
    SetTimer(frame.window, TIMER_UPTIME, timerPeriodMs(settings.uptimeInterval), nullptr);
    SetTimer(frame.window, TIMER_HDTEMP, timerPeriodMs(settings.hdtempInterval), nullptr);
    frame.virtualWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    frame.virtualHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    refreshIdentity();
    resetSegments();
    compileAndUpdate(0);
    refreshWarnings(GetTickCount());
}

}  // namespace

extern "C" int beginPlugin(HINSTANCE instance) {
    const ShellCall call;
    frame.hostWindow = GetBBWnd();
    // The settings loader finds the plugin's folder through this handle.
    frame.instance = instance;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kPluginName;
    if (!RegisterClassA(&windowClass)) {
        showMessageBox(frame.hostWindow, "Error registering window class", kPluginName,
                       MB_TOPMOST | MB_ICONERROR);
        return 1;
    }

    loadSettings();
    // Without a slit the window floats (and can be dragged), whatever the
    // file chose; the choice itself is kept for a start with a slit.
    settings.inSlit = settings.slitChoice && frame.slitWindow != nullptr;
    refreshStyle();
    // A window of no size could never be right-clicked to set it again.
    if (settings.width < kMinimumWindowSize) {
        settings.width = kMinimumWindowSize;
    }
    if (settings.height < kMinimumWindowSize) {
        settings.height = kMinimumWindowSize;
    }
    // Saved beside a monitor that has since gone, it would be out of reach.
    keepOnScreen();
    // A run ended in the middle of a drag never saw its end.
    dragging = false;

    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kPluginName, nullptr,
                                  WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, settings.x,
                                  settings.y, settings.width, settings.height, nullptr, nullptr,
                                  instance, nullptr);
    if (window == nullptr) {
        showMessageBox(nullptr, "Error creating window", kPluginName, MB_TOPMOST | MB_ICONERROR);
        SendMessageA(frame.hostWindow, MSG_UNREGISTER, 0, messageList());
        // Leave nothing behind, so a later start can register again.
        UnregisterClassA(kPluginName, instance);
        return 1;
    }
    frame.window = window;

    startPlugin();
    applyTransparency();
    SendMessageA(frame.hostWindow, MSG_REGISTER, reinterpret_cast<WPARAM>(window), messageList());
    MakeSticky(window);
    if (settings.alwaysOnTop) {
        applyTopmost(true);
    }
    startAutoHide();
    ShowWindow(window, SW_SHOWNORMAL);
    InvalidateRect(window, nullptr, TRUE);
    createTooltip();
    return 0;
}

extern "C" int beginPluginEx(HINSTANCE instance, HWND slit) {
    const ShellCall call;
    frame.slitWindow = slit;
    const int result = beginPlugin(instance);
    if (result != 0) {
        // Nothing was docked; a later floating start must not count on
        // this slit.
        frame.slitWindow = nullptr;
        settings.inSlit = false;
        return result;
    }
    // The settings file may have chosen to float.
    if (settings.inSlit) {
        SendMessageA(frame.slitWindow, SLIT_ADD, 0, reinterpret_cast<LPARAM>(frame.window));
    }
    return result;
}

extern "C" int beginSlitPlugin(HINSTANCE instance, HWND slit) {
    return beginPluginEx(instance, slit);
}

extern "C" void endPlugin(HINSTANCE instance) {
    const ShellCall call;
    HWND window = frame.window;
    if (window == nullptr) {
        return;  // never started, or already ended
    }
    // The shell may end the plugin from inside one of its dialogs.
    cancelDialogs();
    saveSettings();
    deleteMenu();
    for (unsigned id : kUpdateTimers) {
        KillTimer(window, id);
    }
    KillTimer(window, TIMER_AUTOHIDE);
    // Before the window goes: no answer is posted once this returns.
    stopWorker();
    RemoveSticky(window);
    SendMessageA(frame.hostWindow, MSG_UNREGISTER, reinterpret_cast<WPARAM>(window), messageList());
    if (settings.inSlit && frame.slitWindow != nullptr) {
        SendMessageA(frame.slitWindow, SLIT_REMOVE, 0, reinterpret_cast<LPARAM>(window));
    }
    destroyTooltip();
    // Messages sent while the window goes away need no plugin state.
    frame.window = nullptr;
    DestroyWindow(window);
    UnregisterClassA(kPluginName, instance != nullptr ? instance : frame.instance);
    destroySystemSampler();
    endNetwork();  // once it returns, no notification calls into this DLL
    releaseCommonDialogs();
    freeSegments();
    freeGraphHistories();
    setWarningRules("");
    frame.slitWindow = nullptr;
    frame.hiddenByToggle = false;
}
