// Broadcast commands. Input: NUL-separated texts, each sent after
// "@Telvane" in turn to a plugin that started without a settings file;
// after each, what the window would do next, with the native stand-ins.
//
// A start writes every key of the settings file, far more work than a
// command; so the start is made once and each run begins from the record
// it left. Only a save changes the shell's file, and the run after one
// starts afresh, so every run sees the same start.
#include "fake_shell.h"
#include "fuzz.h"
#include "metrics/clocks.h"
#include "metrics/temperature.h"
#include "plugin/commands.h"

namespace {

bool fileSaved = true;
Settings started;
char startedPath[kPathSize];

void start() {
    if (fileSaved) {
        fakeshell::reset();
        std::memset(&settings, 0, sizeof settings);
        settingsPath[0] = '\0';
        loadSettings();
        std::memcpy(&started, &settings, sizeof started);
        std::memcpy(startedPath, settingsPath, sizeof startedPath);
        fileSaved = false;
    } else {
        std::memcpy(&settings, &started, sizeof settings);
        std::memcpy(settingsPath, startedPath, sizeof settingsPath);
        fakeshell::forgetMadeMenus();
    }
    refreshStyle();
    fullRefresh();
}

// The commands of commands_win.cpp that need more than the record; those
// that open dialogs, dock or touch drives are left out.
bool runSystemCommand(CommandId id) {
    switch (id) {
        case CmdReloadSettings:
            loadSettings();
            refreshStyle();
            fullRefresh();
            return true;
        case CmdSaveSettings:
            saveSettings();
            fileSaved = true;
            return true;
        case CmdAbout:
        case CmdFontColor:
        case CmdSetFont:
        case CmdInSlit:
        case CmdEditRC:
        case CmdHDTempLog:
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
        updateClocks();
    }
    if (f & FollowDriveTemperature) {
        updateDriveTemperature();
    }
    if (f & FollowResize) {
        resizeWindow(effect.width, effect.height);
    }
    if (f & FollowRestartTimer) {
        FUZZ_CHECK(timerPeriodMs(effect.seconds) >= 1000);
    }
    if (f & FollowAutoHide) {
        settings.autoHide = !settings.autoHide;
    }
    if (f & FollowMenu) {
        buildMenu(false);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start();

    for (const std::string& part : splitAtNul(data, size)) {
        const std::string text = "@Telvane" + part;
        const Broadcast command = parseBroadcast(text.c_str());
        if (command.kind == BroadcastKind::Command) {
            // Within the text, or the empty argument of a whole-word command.
            FUZZ_CHECK(
                command.argument[0] == '\0' ||
                (command.argument > text.c_str() && command.argument < text.c_str() + text.size()));
            if (!runSystemCommand(command.id)) {
                runFollowUps(applyCommandToSettings(command));
            }
        }
        checkTextSettings();
        paintNatively();
    }
    deleteMenu();
    freeSegments();
    return 0;
}
