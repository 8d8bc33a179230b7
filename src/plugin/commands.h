// Broadcast commands: recognising "@Telvane..." texts and the change each
// one makes to the settings record. Pure, so it is tested without Windows;
// commands_win.cpp carries out the follow-ups (repaint, menu, timers...).
#pragma once

#include "host/wintypes.h"

enum CommandId {
    CmdAbout,
    CmdStrFormat,
    CmdLocalTimeFormat,
    CmdSetLocale,
    CmdUniversalTimeFormat,
    CmdTimeZone,
    CmdStyleType,
    CmdJustifyType,
    CmdResizeType,
    CmdWidthSize,
    CmdHeightSize,
    CmdFontSize,
    CmdFontFace,
    CmdFontColor,
    CmdSetFont,
    CmdUseRefFont,
    CmdPadPercentages,
    CmdPluginToggle,
    CmdOnTop,
    CmdInSlit,
    CmdTransparent,
    CmdAlphaValue,
    CmdSnapToEdge,
    CmdShowBorder,
    CmdAllowTip,
    CmdLockPosition,
    CmdAutoHide,
    CmdDaylightSavingTime,
    CmdInterface,
    CmdEditRC,
    CmdReloadSettings,
    CmdSaveSettings,
    CmdHDTempLog,
    CmdPhyDrvNo,
    CmdDriveNo,
    CmdTempAttrID,
    CmdMainInterval,
    CmdDiskInterval,
    CmdUptimeInterval,
    CmdHDTempInterval,
    CmdWarnings,
    CmdWarningColor,
    CmdWarningDelay,
    CmdCount
};

enum class BroadcastKind { None, ShowPlugins, HidePlugins, Command };

struct Broadcast {
    BroadcastKind kind;
    CommandId id;          // valid for Command
    const char* argument;  // text after keyword and separator; "" when none
    int number;            // argument read as an integer (atoi rules)
};

// Never reads past the terminator; a null text is no command.
Broadcast parseBroadcast(const char* text);

// atoi rules (blanks, sign, leading digits, 0 when none), but saturating
// instead of overflowing on absurdly long numbers.
int readNumber(const char* text);

// What has to happen after a command changed the settings record, in the
// order commands_win.cpp runs them.
enum FollowUp : unsigned {
    FollowStyleRefresh = 1u << 0,
    FollowFullRefresh = 1u << 1,
    FollowClocks = 1u << 2,
    FollowNetwork = 1u << 3,
    FollowDriveTemperature = 1u << 4,
    FollowResize = 1u << 5,        // resizeWindow(width, height); repaint if it did
    FollowRestartTimer = 1u << 6,  // timer, seconds
    FollowTransparency = 1u << 7,
    FollowTopmost = 1u << 8,       // apply settings.alwaysOnTop when floating
    FollowTooltip = 1u << 9,       // activate per settings.allowTooltip
    FollowAutoHide = 1u << 10,     // toggleAutoHide flips the setting itself
    FollowRepaint = 1u << 11,      // invalidate with erase
    FollowRepaintNoErase = 1u << 12,
    FollowMenu = 1u << 13,
    FollowWarnings = 1u << 14,     // the rules again against the numbers now
};

struct CommandEffect {
    unsigned followUps;
    unsigned timer;
    int seconds;
    int width;
    int height;
};

// Changes the settings record for every command that is only a settings
// change; commands that need the OS (pickers, docking, files, dialogs)
// return no follow-ups and are left to the caller. @TelvaneWarningColor
// is a settings change with a colour and opens the picker without one.
CommandEffect applyCommandToSettings(const Broadcast& command);
