// Broadcast commands. Input: NUL-separated texts, each sent after
// "@Telvane" in turn to a plugin that started without a settings file;
// after each, what the window would do next, with the native stand-ins.
//
// A start writes every key of the settings file, far more work than a
// command; so the start is made once and each run begins from the record
// it left. Only a save changes the shell's file: a run that saved starts
// afresh at its end, so every run sees the same start, and what a run
// made is gone when it ends (libFuzzer looks for a leak in a run that
// allocates more than it frees).
#include "fake_shell.h"
#include "fuzz.h"
#include "metrics/clocks.h"
#include "metrics/temperature.h"
#include "plugin/commands.h"

namespace {

bool started = false;
bool fileSaved = false;
bool menuAsked = false;
Settings startRecord;
char startPath[kPathSize];

void startAfresh() {
    fakeshell::reset();
    std::memset(&settings, 0, sizeof settings);
    settingsPath[0] = '\0';
    loadSettings();
    std::memcpy(&startRecord, &settings, sizeof startRecord);
    std::memcpy(startPath, settingsPath, sizeof startPath);
}

void begin() {
    if (!started) {
        startAfresh();
        started = true;
    }
    std::memcpy(&settings, &startRecord, sizeof settings);
    std::memcpy(settingsPath, startPath, sizeof settingsPath);
    applyWarningRules();
    refreshStyle();
    fullRefresh();
}

void end() {
    // Built once, from the state the commands left: after every command it
    // cost more than all the rest, and each state between is the end of a
    // shorter input.
    if (menuAsked) {
        buildMenu(false);
        menuAsked = false;
    }
    deleteMenu();
    freeSegments();
    freeGraphHistories();
    setWarningRules("");
    fakeshell::forgetMadeMenus();
    if (fileSaved) {
        startAfresh();
        fileSaved = false;
    }
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
        menuAsked = true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    begin();

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
    end();
    return 0;
}
