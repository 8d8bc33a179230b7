#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "display/placement.h"
#include "display/render.h"
#include "display/tooltip.h"
#include "host/lookup_win.h"
#include "metrics/clocks.h"
#include "metrics/network.h"
#include "metrics/system.h"
#include "metrics/temperature.h"
#include "plugin/commands.h"
#include "settings/dialogs.h"
#include "plugin/frame.h"
#include "plugin/plugin.h"
#include "settings/about.h"
#include "settings/menu.h"
#include "settings/settings.h"

namespace {

void repaint(BOOL erase) {
    InvalidateRect(frame.window, nullptr, erase);
}

typedef BOOL(WINAPI* ChooseColorFn)(CHOOSECOLORA*);
typedef BOOL(WINAPI* ChooseFontFn)(CHOOSEFONTA*);

// The pickers hand their window to the dialog that holds them, so
// endPlugin can cancel them.
template <typename Chooser>
UINT_PTR CALLBACK pickerHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* chooser = reinterpret_cast<const Chooser*>(lParam);
        *reinterpret_cast<HWND*>(chooser->lCustData) = dialog;
        return TRUE;
    }
    return FALSE;
}

// comdlg32's `name`, held by `held` (null when it is not there).
template <typename Fn>
Fn pickerFunction(HMODULE held, const char* name) {
    return held != nullptr ? systemFunction<Fn>(held, name) : nullptr;
}

// The font's colour or the warnings' colour.
void pickColor(COLORREF* color) {
    HMODULE held = holdCommonDialogs("The colour picker");
    const auto chooseColor = pickerFunction<ChooseColorFn>(held, "ChooseColorA");
    if (chooseColor != nullptr) {
        ModalDialog modal;
        COLORREF customColors[16] = {};
        CHOOSECOLORA chooser{};
        chooser.lStructSize = sizeof chooser;
        chooser.hwndOwner = nullptr;
        chooser.rgbResult = *color;
        chooser.lpCustColors = customColors;
        chooser.Flags = CC_RGBINIT | CC_ENABLEHOOK;
        chooser.lCustData = reinterpret_cast<LPARAM>(modal.window());
        chooser.lpfnHook = pickerHook<CHOOSECOLORA>;
        if (chooseColor(&chooser) && !modal.ended()) {
            *color = chooser.rgbResult;
            repaint(TRUE);
        }
    }
    if (held != nullptr) {
        FreeLibrary(held);
    }
}

// Painting asks for a cell height (a positive height), which includes the
// font's internal leading; the picker shows and answers the character
// height (a negative one). Both ways go through the font as painting
// makes it, so the picker opens on the size the window shows, and the
// size chosen is the size shown; existing files paint as before.
struct FontHeights {
    int cell;
    int character;
};

FontHeights paintedHeights(int height, const char* face) {
    FontHeights heights = {height < 0 ? -height : height, height < 0 ? -height : height};
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             0, 0, face);
    HDC screen = GetDC(nullptr);
    if (font != nullptr && screen != nullptr) {
        HGDIOBJ previous = SelectObject(screen, font);
        TEXTMETRICA metrics;
        if (GetTextMetricsA(screen, &metrics) && metrics.tmHeight > metrics.tmInternalLeading &&
            metrics.tmInternalLeading >= 0) {
            heights.cell = metrics.tmHeight;
            heights.character = metrics.tmHeight - metrics.tmInternalLeading;
        }
        SelectObject(screen, previous);
    }
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    if (font != nullptr) {
        DeleteObject(font);
    }
    return heights;
}

// The font chosen, stored as the window paints it.
void applyPickedFont(const CHOOSEFONTA& chooser, const LOGFONTA& logFont, FontHeights shown) {
    char face[LF_FACESIZE + 1];
    std::memcpy(face, logFont.lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = '\0';
    copySettingText(settings.fontFace, kFontFaceSize, face);
    // The picker offers whole points: a size left as it opened comes back
    // rounded, and keeps the height shown instead.
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    const bool sizeKept = dpi > 0 && chooser.iPointSize == 10 * MulDiv(shown.character, 72, dpi);
    const int character =
        sizeKept ? shown.character : fontHeightWithin(-static_cast<int64_t>(logFont.lfHeight));
    settings.fontHeight = fontHeightWithin(paintedHeights(-character, face).cell);
    repaint(TRUE);
    buildMenu(false);
}

void pickFont() {
    HMODULE held = holdCommonDialogs("The font picker");
    const auto chooseFont = pickerFunction<ChooseFontFn>(held, "ChooseFontA");
    if (chooseFont != nullptr) {
        LOGFONTA logFont{};
        HFONT font = CreateFontA(settings.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, 0, 0, 0, 0, settings.fontFace);
        if (font != nullptr) {
            GetObjectA(font, sizeof logFont, &logFont);
            DeleteObject(font);
        }
        const FontHeights shown = paintedHeights(settings.fontHeight, settings.fontFace);
        logFont.lfHeight = -shown.character;
        ModalDialog modal;
        CHOOSEFONTA chooser{};
        chooser.lStructSize = sizeof chooser;
        chooser.hwndOwner = frame.window;
        chooser.lpLogFont = &logFont;
        chooser.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK;
        chooser.nFontType = SCREEN_FONTTYPE;
        chooser.lCustData = reinterpret_cast<LPARAM>(modal.window());
        chooser.lpfnHook = pickerHook<CHOOSEFONTA>;
        if (chooseFont(&chooser) && !modal.ended()) {
            applyPickedFont(chooser, logFont, shown);
        }
    }
    if (held != nullptr) {
        FreeLibrary(held);
    }
}

// Floating at settings.x / y.
void moveToStoredPosition() {
    SetWindowPos(frame.window, nullptr, settings.x, settings.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Out of the slit and back where the settings place a floating window.
void undock() {
    SendMessageA(frame.slitWindow, SLIT_REMOVE, 0, reinterpret_cast<LPARAM>(frame.window));
    moveToStoredPosition();
    // "Always on Top" may have changed while docked, where it is not applied.
    applyTopmost(settings.alwaysOnTop);
}

void toggleDocking() {
    HWND slit = frame.slitWindow;
    if (slit == nullptr) {
        return;
    }
    if (settings.inSlit) {
        // Still counted as docked while the slit lets go, so the moves it
        // makes are not taken for the user's.
        undock();
        settings.inSlit = false;
        settings.slitChoice = false;
        applyTransparency();
    } else {
        settings.inSlit = true;
        settings.slitChoice = true;
        applyTransparency();
        SendMessageA(slit, SLIT_ADD, 0, reinterpret_cast<LPARAM>(frame.window));
    }
}

void showPlugin(bool show) {
    frame.hiddenByToggle = !show;
    ShowWindow(frame.window, show ? SW_SHOW : SW_HIDE);
    if (show) {
        repaint(TRUE);
    }
}

// Once the shell's show-plugins broadcast no longer reaches the window
// (Plugin Toggle off, or docked), nothing else could bring it back.
void releaseToggleHidden() {
    if (frame.hiddenByToggle && !(settings.pluginToggle && !settings.inSlit)) {
        showPlugin(true);
    }
}

// What a start makes of the settings, made again after they were read
// anew: a file edited by hand shows as it would at the next start.
void applyReadSettings() {
    keepOnScreen();
    refreshStyle();
    fullRefresh();
    restartTimer(TIMER_MAIN, settings.mainInterval);
    restartTimer(TIMER_DISK, settings.diskInterval);
    restartTimer(TIMER_UPTIME, settings.uptimeInterval);
    restartTimer(TIMER_HDTEMP, settings.hdtempInterval);
    applyTransparency();
    placeAsSettings();
    activateTooltip(settings.allowTooltip);
    releaseToggleHidden();
    refreshWarnings(GetTickCount());
    repaint(TRUE);
}

void reloadSettings() {
    const bool wasDocked = settings.inSlit;
    // A file read brings a fresh look at the host's address.
    if (loadSettings()) {
        lookupIpAddress();
    }
    const bool docked = settings.slitChoice && frame.slitWindow != nullptr;
    const LPARAM window = reinterpret_cast<LPARAM>(frame.window);
    if (wasDocked && !docked) {
        // Still counted as docked while the slit lets go, so the moves it
        // makes are not taken for the user's.
        SendMessageA(frame.slitWindow, SLIT_REMOVE, 0, window);
    }
    settings.inSlit = docked;
    applyReadSettings();
    if (docked && !wasDocked) {
        // A floating window that the file docks must be handed to the
        // slit, or it would stay floating while counted as docked.
        SendMessageA(frame.slitWindow, SLIT_ADD, 0, window);
    }
}

// Commands that need more than a settings change.
bool runSystemCommand(const Broadcast& command) {
    switch (command.id) {
        case CmdAbout: {
            SendMessageA(frame.hostWindow, MSG_HIDE_MENUS, 0, 0);
            ModalDialog modal;
            runAboutDialog(frame.window, modal.window());
            return true;
        }
        case CmdFontColor:
            pickColor(&settings.fontColor);
            return true;
        case CmdWarningColor:
            if (command.argument[0] != '\0') {
                return false;
            }
            pickColor(&settings.warningColor);
            return true;
        case CmdSetFont:
            pickFont();
            return true;
        case CmdInSlit:
            toggleDocking();
            return true;
        case CmdEditRC:
            BBExecute(GetDesktopWindow(), nullptr, settingsPath, nullptr, nullptr, SW_SHOWNORMAL,
                      false);
            return true;
        case CmdReloadSettings:
            reloadSettings();
            return true;
        case CmdSaveSettings:
            saveSettings();
            return true;
        case CmdHDTempLog:
            requestSmartLog();
            return true;
        default:
            return false;
    }
}

void runFollowUps(const CommandEffect& effect) {
    const unsigned f = effect.followUps;
    if (f & FollowStyleRefresh) {
        refreshStyle();
    }
    if (f & FollowFullRefresh) {
        fullRefresh();
    }
    if (f & FollowClocks) {
        runUpdater(UpdateClocks);
    }
    if (f & FollowNetwork) {
        runUpdater(UpdateNetwork);
    }
    if (f & FollowDriveTemperature) {
        runUpdater(UpdateDriveTemperature);
    }
    if ((f & FollowResize) && resizeWindow(effect.width, effect.height)) {
        repaint(TRUE);
    }
    if (f & FollowRestartTimer) {
        restartTimer(effect.timer, effect.seconds);
    }
    if (f & FollowTransparency) {
        applyTransparency();
    }
    if ((f & FollowTopmost) && !settings.inSlit) {
        applyTopmost(settings.alwaysOnTop);
    }
    if (f & FollowTooltip) {
        activateTooltip(settings.allowTooltip);
    }
    if (f & FollowAutoHide) {
        toggleAutoHide();
    }
    if (f & FollowWarnings) {
        refreshWarnings(GetTickCount());
    }
    if (f & FollowRepaint) {
        repaint(TRUE);
    }
    if (f & FollowRepaintNoErase) {
        repaint(FALSE);
    }
    if (f & FollowMenu) {
        buildMenu(false);
    }
}

}  // namespace

void runBroadcast(const char* text) {
    const Broadcast command = parseBroadcast(text);
    switch (command.kind) {
        case BroadcastKind::ShowPlugins:
        case BroadcastKind::HidePlugins:
            if (settings.pluginToggle && !settings.inSlit) {
                showPlugin(command.kind == BroadcastKind::ShowPlugins);
            }
            return;
        case BroadcastKind::Command:
            if (!runSystemCommand(command)) {
                runFollowUps(applyCommandToSettings(command));
            }
            releaseToggleHidden();
            return;
        case BroadcastKind::None:
            return;
    }
}

LRESULT handleHostMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case MSG_RECONFIGURE:
            // Only a reload moves the window in or out of the slit; here
            // it stays docked or floating (loading reads the choice only).
            deleteMenu();
            if (loadSettings()) {
                lookupIpAddress();
            }
            applyReadSettings();
            break;
        case MSG_STYLE_REFRESH:
            refreshStyle();
            repaint(TRUE);
            break;
        case MSG_BROADCAST:
            runBroadcast(reinterpret_cast<const char*>(lParam));
            break;
        default:
            break;
    }
    return 0;
}
