#include "plugin/commands.h"

#include <climits>
#include <cstdint>

#include "display/render.h"
#include "format/warnings.h"
#include "plugin/frame.h"
#include "settings/settings.h"

namespace {

enum class Match { Whole, Prefix };

struct CommandRow {
    const char* keyword;
    Match match;
    CommandId id;
};

// Order matters: the first row that matches acts.
const CommandRow kCommands[] = {
    {"About", Match::Whole, CmdAbout},
    {"StrFormat", Match::Prefix, CmdStrFormat},
    {"LocalTimeFormat", Match::Prefix, CmdLocalTimeFormat},
    {"SetLocale", Match::Prefix, CmdSetLocale},
    {"UniversalTimeFormat", Match::Prefix, CmdUniversalTimeFormat},
    {"TimeZone", Match::Prefix, CmdTimeZone},
    {"StyleType", Match::Prefix, CmdStyleType},
    {"JustifyType", Match::Prefix, CmdJustifyType},
    {"ResizeType", Match::Prefix, CmdResizeType},
    {"WidthSize", Match::Prefix, CmdWidthSize},
    {"HeightSize", Match::Prefix, CmdHeightSize},
    {"FontSize", Match::Prefix, CmdFontSize},
    {"FontFace", Match::Prefix, CmdFontFace},
    {"FontColor", Match::Whole, CmdFontColor},
    {"SetFont", Match::Whole, CmdSetFont},
    {"UseRefFont", Match::Whole, CmdUseRefFont},
    {"PadPercentages", Match::Whole, CmdPadPercentages},
    {"PluginToggle", Match::Whole, CmdPluginToggle},
    {"OnTop", Match::Whole, CmdOnTop},
    {"InSlit", Match::Whole, CmdInSlit},
    {"Transparent", Match::Whole, CmdTransparent},
    {"AlphaValue", Match::Prefix, CmdAlphaValue},
    {"SnapToEdge", Match::Whole, CmdSnapToEdge},
    {"ShowBorder", Match::Whole, CmdShowBorder},
    {"AllowTip", Match::Whole, CmdAllowTip},
    {"LockPosition", Match::Whole, CmdLockPosition},
    {"AutoHide", Match::Whole, CmdAutoHide},
    {"DaylightSavingTime", Match::Whole, CmdDaylightSavingTime},
    {"Interface", Match::Prefix, CmdInterface},
    {"EditRC", Match::Whole, CmdEditRC},
    {"ReloadSettings", Match::Whole, CmdReloadSettings},
    {"SaveSettings", Match::Whole, CmdSaveSettings},
    {"HDTempLog", Match::Whole, CmdHDTempLog},
    {"PhyDrvNo", Match::Prefix, CmdPhyDrvNo},
    {"DriveNo", Match::Prefix, CmdDriveNo},
    {"TempAttrID", Match::Prefix, CmdTempAttrID},
    {"MainInterval", Match::Prefix, CmdMainInterval},
    {"DiskInterval", Match::Prefix, CmdDiskInterval},
    {"UptimeInterval", Match::Prefix, CmdUptimeInterval},
    {"HDTempInterval", Match::Prefix, CmdHDTempInterval},
    {"Warnings", Match::Prefix, CmdWarnings},
    {"WarningColor", Match::Prefix, CmdWarningColor},
    {"WarningDelay", Match::Prefix, CmdWarningDelay},
};
static_assert(sizeof(kCommands) / sizeof(kCommands[0]) == CmdCount, "one row per command");

// Switches: the command flips one setting and asks for these follow-ups.
struct ToggleRow {
    CommandId id;
    bool Settings::*field;
    unsigned followUps;
};

const ToggleRow kToggles[] = {
    {CmdUseRefFont, &Settings::useRefFont, FollowRepaintNoErase | FollowMenu},
    // The padding is written with the values: they are read again at once.
    {CmdPadPercentages, &Settings::padPercentages, FollowFullRefresh | FollowRepaint | FollowMenu},
    {CmdPluginToggle, &Settings::pluginToggle, FollowMenu},
    {CmdOnTop, &Settings::alwaysOnTop, FollowTopmost | FollowMenu},
    {CmdTransparent, &Settings::transparency, FollowTransparency},
    {CmdSnapToEdge, &Settings::snapWindow, FollowMenu},
    {CmdShowBorder, &Settings::showBorder, FollowRepaintNoErase | FollowMenu},
    {CmdAllowTip, &Settings::allowTooltip, FollowTooltip | FollowMenu},
    {CmdLockPosition, &Settings::lockPos, FollowMenu},
    {CmdDaylightSavingTime, &Settings::daylightSavingTime, FollowClocks | FollowRepaint | FollowMenu},
};

constexpr const char* kCommandPrefix = "@Telvane";

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Length of `keyword` when `text` begins with it (ignoring case), else -1.
// Stops at the first difference, so `text` is never read past its end.
int startsWith(const char* text, const char* keyword) {
    int i = 0;
    for (; keyword[i] != '\0'; ++i) {
        if (lower(text[i]) != lower(keyword[i])) {
            return -1;
        }
    }
    return i;
}

bool equals(const char* text, const char* keyword) {
    int length = startsWith(text, keyword);
    return length >= 0 && text[length] == '\0';
}

void copyTextOrDefault(char* field, int size, const char* text, const char* fallback) {
    copySettingText(field, size, text[0] != '\0' ? text : fallback);
}

}  // namespace

int readNumber(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<int64_t>(INT_MAX) + 1) {
            value = static_cast<int64_t>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    return static_cast<int>(value);
}

Broadcast parseBroadcast(const char* text) {
    Broadcast result{BroadcastKind::None, CmdCount, "", 0};
    if (text == nullptr) {
        return result;
    }
    if (equals(text, "@BBShowPlugins")) {
        result.kind = BroadcastKind::ShowPlugins;
        return result;
    }
    if (equals(text, "@BBHidePlugins")) {
        result.kind = BroadcastKind::HidePlugins;
        return result;
    }
    int prefix = startsWith(text, kCommandPrefix);
    if (prefix < 0) {
        return result;
    }
    const char* command = text + prefix;
    for (const CommandRow& row : kCommands) {
        if (row.match == Match::Whole) {
            if (!equals(command, row.keyword)) {
                continue;
            }
        } else {
            int length = startsWith(command, row.keyword);
            if (length < 0) {
                continue;
            }
            // One separator character, whatever it is; none at the very end.
            const char* argument = command + length;
            result.argument = argument[0] != '\0' ? argument + 1 : argument;
            result.number = readNumber(result.argument);
        }
        result.kind = BroadcastKind::Command;
        result.id = row.id;
        return result;
    }
    return result;
}

CommandEffect applyCommandToSettings(const Broadcast& command) {
    CommandEffect effect{0, 0, 0, 0, 0};
    if (command.kind != BroadcastKind::Command) {
        return effect;
    }
    const char* text = command.argument != nullptr ? command.argument : "";
    const int n = command.number;
    const unsigned clockChange = FollowClocks | FollowRepaint | FollowMenu;
    const unsigned driveChange = FollowDriveTemperature | FollowRepaint;

    for (const ToggleRow& row : kToggles) {
        if (row.id == command.id) {
            settings.*row.field = !(settings.*row.field);
            effect.followUps = row.followUps;
            return effect;
        }
    }

    auto restart = [&effect](unsigned timer, int seconds) {
        effect.followUps = FollowRestartTimer;
        effect.timer = timer;
        effect.seconds = seconds;
    };

    switch (command.id) {
        case CmdStrFormat:
            copyTextOrDefault(settings.strFormat, kFormatTextSize, text, kDefaultFormat);
            effect.followUps = FollowFullRefresh | FollowRepaint | FollowMenu;
            break;
        case CmdLocalTimeFormat:
            copyTextOrDefault(settings.localTimeFormat, kFormatTextSize, text, kDefaultClockFormat);
            effect.followUps = clockChange;
            break;
        case CmdSetLocale:
            copySettingText(settings.localeString, kFormatTextSize, text);
            effect.followUps = clockChange;
            break;
        case CmdUniversalTimeFormat:
            copyTextOrDefault(settings.universalTimeFormat, kFormatTextSize, text,
                              kDefaultClockFormat);
            effect.followUps = clockChange;
            break;
        case CmdTimeZone:
            copyTextOrDefault(settings.timeZone, kTimeZoneSize, text, kDefaultTimeZone);
            effect.followUps = clockChange;
            break;
        case CmdStyleType:
            // Only the shell's six styles: a start after saving any other
            // number would have no style to paint with.
            if (!isStyleIndex(n)) {
                break;
            }
            settings.styleType = n;
            effect.followUps = FollowStyleRefresh | FollowRepaint | FollowMenu;
            break;
        case CmdJustifyType:
            settings.justification = heldWithin(n, kJustificationRange);
            effect.followUps = FollowRepaint | FollowMenu;
            break;
        case CmdResizeType:
            settings.autoResize = heldWithin(n, kAutoResizeRange);
            effect.followUps = FollowMenu;
            break;
        case CmdWidthSize:
            effect.followUps = FollowResize;
            effect.width = n;
            effect.height = settings.height;
            break;
        case CmdHeightSize:
            effect.followUps = FollowResize;
            effect.width = settings.width;
            effect.height = n;
            break;
        case CmdFontSize:
            settings.fontHeight = fontHeightWithin(n);
            effect.followUps = FollowRepaint;
            break;
        case CmdFontFace:
            copySettingText(settings.fontFace, kFontFaceSize, text);
            effect.followUps = FollowRepaint;
            break;
        case CmdAlphaValue:
            settings.alpha = heldWithin(n, kAlphaRange);
            effect.followUps = FollowTransparency;
            break;
        case CmdAutoHide:
            effect.followUps = FollowAutoHide | FollowMenu;
            break;
        case CmdInterface:
            settings.networkInterface = heldWithin(n, kInterfaceRange);
            effect.followUps = FollowNetwork | FollowRepaint | FollowMenu;
            break;
        case CmdPhyDrvNo:
            settings.physicalDriveNumber = static_cast<uint8_t>(heldWithin(n, kPhysicalDriveRange));
            effect.followUps = driveChange;
            break;
        case CmdDriveNo:
            settings.driveNumber = static_cast<uint8_t>(heldWithin(n, kDriveNumberRange));
            effect.followUps = driveChange;
            break;
        case CmdTempAttrID:
            settings.hdTempAttrId = static_cast<uint8_t>(heldWithin(n, kAttributeIdRange));
            effect.followUps = driveChange;
            break;
        case CmdMainInterval:
            settings.mainInterval = heldWithin(n, kIntervalRange);
            restart(TIMER_MAIN, settings.mainInterval);
            break;
        case CmdDiskInterval:
            settings.diskInterval = heldWithin(n, kIntervalRange);
            restart(TIMER_DISK, settings.diskInterval);
            break;
        case CmdUptimeInterval:
            settings.uptimeInterval = heldWithin(n, kIntervalRange);
            restart(TIMER_UPTIME, settings.uptimeInterval);
            break;
        case CmdHDTempInterval:
            settings.hdtempInterval = heldWithin(n, kIntervalRange);
            restart(TIMER_HDTEMP, settings.hdtempInterval);
            break;
        case CmdWarnings:
            // Kept as typed, so a rule that does not parse can be mended.
            copySettingText(settings.warnings, kFormatTextSize, text);
            applyWarningRules();
            effect.followUps = FollowWarnings | FollowRepaint | FollowMenu;
            break;
        case CmdWarningColor: {
            // Anything but a colour changes nothing; none opens the picker.
            size_t length = 0;
            while (text[length] != '\0' && text[length] != ' ') {
                ++length;
            }
            if (parseHexColour(text, length, &settings.warningColor)) {
                effect.followUps = FollowRepaint;
            }
            break;
        }
        case CmdWarningDelay:
            settings.warningDelay = heldWithin(n, kWarningDelayRange);
            effect.followUps = FollowWarnings | FollowRepaint | FollowMenu;
            break;
        default:
            break;  // needs the OS: the caller handles it
    }
    return effect;
}
