#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <string>

#include "format/warnings.h"
#include "plugin/commands.h"
#include "plugin/frame.h"
#include "settings/settings.h"
#include "settings/settings_os.h"

namespace {

// Takes the literal itself: the argument points into the text.
Broadcast parse(const char* text) {
    return parseBroadcast(text);
}

CommandEffect run(const std::string& text) {
    return applyCommandToSettings(parseBroadcast(text.c_str()));
}

class CommandSettings : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = settings;
        settings = Settings{};
        copySettingText(settings.strFormat, kFormatTextSize, "%CP");
        copySettingText(settings.fontFace, kFontFaceSize, "Tahoma");
        settings.width = 180;
        settings.height = 30;
        setStandInVirtualScreen(1024, 768);
    }
    void TearDown() override {
        settings = saved_;
        setWarningRules("");
    }

private:
    Settings saved_;
};

}  // namespace

TEST(CommandParsing, FirstMatchingRowInTableOrderWins) {
    // Prefix keywords are not whole words: the first row that begins the
    // command acts, and one character after it is skipped.
    Broadcast b = parse("@TelvaneStrFormatLocalTimeFormat x");
    EXPECT_EQ(b.kind, BroadcastKind::Command);
    EXPECT_EQ(b.id, CmdStrFormat);
    EXPECT_STREQ(b.argument, "ocalTimeFormat x");

    b = parse("@TelvaneHDTempInterval 5");
    EXPECT_EQ(b.id, CmdHDTempInterval);
    EXPECT_EQ(b.number, 5);
    EXPECT_EQ(parse("@TelvaneHDTempLog").id, CmdHDTempLog);
    EXPECT_EQ(parse("@TelvaneFontColor").id, CmdFontColor);
    EXPECT_EQ(parse("@TelvaneFontFace Arial").id, CmdFontFace);
}

TEST(CommandParsing, WholeKeywordsMustBeTheWholeCommand) {
    EXPECT_EQ(parse("@TelvaneAbout").id, CmdAbout);
    EXPECT_EQ(parse("@telvaneABOUT").id, CmdAbout);
    EXPECT_EQ(parse("@TelvaneAbout x").kind, BroadcastKind::None);
    EXPECT_EQ(parse("@TelvaneOnTop ").kind, BroadcastKind::None);
    EXPECT_EQ(parse("@TelvaneOnTo").kind, BroadcastKind::None);
}

namespace {

// Every keyword, and whether an argument may follow it.
struct Keyword {
    const char* word;
    CommandId id;
    bool takesArgument;
};
const Keyword kKeywords[] = {
    {"About", CmdAbout, false},
    {"StrFormat", CmdStrFormat, true},
    {"LocalTimeFormat", CmdLocalTimeFormat, true},
    {"SetLocale", CmdSetLocale, true},
    {"UniversalTimeFormat", CmdUniversalTimeFormat, true},
    {"TimeZone", CmdTimeZone, true},
    {"StyleType", CmdStyleType, true},
    {"JustifyType", CmdJustifyType, true},
    {"ResizeType", CmdResizeType, true},
    {"WidthSize", CmdWidthSize, true},
    {"HeightSize", CmdHeightSize, true},
    {"FontSize", CmdFontSize, true},
    {"FontFace", CmdFontFace, true},
    {"FontColor", CmdFontColor, false},
    {"SetFont", CmdSetFont, false},
    {"UseRefFont", CmdUseRefFont, false},
    {"PadPercentages", CmdPadPercentages, false},
    {"PluginToggle", CmdPluginToggle, false},
    {"OnTop", CmdOnTop, false},
    {"InSlit", CmdInSlit, false},
    {"Transparent", CmdTransparent, false},
    {"AlphaValue", CmdAlphaValue, true},
    {"SnapToEdge", CmdSnapToEdge, false},
    {"ShowBorder", CmdShowBorder, false},
    {"AllowTip", CmdAllowTip, false},
    {"LockPosition", CmdLockPosition, false},
    {"AutoHide", CmdAutoHide, false},
    {"DaylightSavingTime", CmdDaylightSavingTime, false},
    {"Interface", CmdInterface, true},
    {"EditRC", CmdEditRC, false},
    {"ReloadSettings", CmdReloadSettings, false},
    {"SaveSettings", CmdSaveSettings, false},
    {"HDTempLog", CmdHDTempLog, false},
    {"PhyDrvNo", CmdPhyDrvNo, true},
    {"DriveNo", CmdDriveNo, true},
    {"TempAttrID", CmdTempAttrID, true},
    {"MainInterval", CmdMainInterval, true},
    {"DiskInterval", CmdDiskInterval, true},
    {"UptimeInterval", CmdUptimeInterval, true},
    {"HDTempInterval", CmdHDTempInterval, true},
};

std::string cased(std::string text, int (*change)(int)) {
    for (char& c : text) {
        c = static_cast<char>(change(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

TEST(CommandParsing, EveryKeywordInAnyCaseWithAnArgumentOnlyWhereItTakesOne) {
    for (const Keyword& k : kKeywords) {
        const std::string written = std::string("@Telvane") + k.word;
        for (const std::string& bare :
             {written, cased(written, ::tolower), cased(written, ::toupper)}) {
            Broadcast b = parseBroadcast(bare.c_str());
            EXPECT_EQ(b.kind, BroadcastKind::Command) << bare;
            EXPECT_EQ(b.id, k.id) << bare;
            const std::string argued = bare + " 7";
            b = parseBroadcast(argued.c_str());
            if (k.takesArgument) {
                EXPECT_EQ(b.id, k.id) << argued;
                EXPECT_EQ(b.number, 7) << argued;
            } else {
                EXPECT_EQ(b.kind, BroadcastKind::None) << argued;
            }
        }
    }
}

TEST(CommandParsing, ArgumentStartsOneCharacterAfterTheKeyword) {
    EXPECT_STREQ(parse("@TelvaneStrFormat %CP %RP").argument, "%CP %RP");
    EXPECT_STREQ(parse("@TelvaneStrFormatX%CP").argument, "%CP");
    EXPECT_STREQ(parse("@TelvaneStrFormat  two").argument, " two");
    EXPECT_STREQ(parse("@TelvaneStrFormat ").argument, "");

    // Ending right after the keyword: the argument is the terminator
    // itself, not whatever lies beyond it.
    const char text[] = "@TelvaneStrFormat\0beyond";
    Broadcast b = parseBroadcast(text);
    EXPECT_EQ(b.id, CmdStrFormat);
    EXPECT_EQ(b.argument, text + std::strlen("@TelvaneStrFormat"));
}

TEST(CommandParsing, NumbersFollowAtoiWithoutOverflow) {
    EXPECT_EQ(parse("@TelvaneMainInterval 5").number, 5);
    EXPECT_EQ(parse("@TelvaneMainInterval abc").number, 0);
    EXPECT_EQ(parse("@TelvaneMainInterval").number, 0);
    EXPECT_EQ(parse("@TelvaneMainInterval  12x").number, 12);
    EXPECT_EQ(parse("@TelvaneAlphaValue -3").number, -3);
    EXPECT_EQ(parse("@TelvaneAlphaValue +7").number, 7);
    EXPECT_EQ(parse("@TelvaneWidthSize 99999999999999999999").number, INT_MAX);
    EXPECT_EQ(parse("@TelvaneWidthSize -99999999999999999999").number, INT_MIN);
    EXPECT_EQ(readNumber("-2147483648"), INT_MIN);
    EXPECT_EQ(readNumber("\t\n\v\f\r 7"), 7);
}

TEST(CommandParsing, HostShowHideAndStrangersAreRecognisedOrIgnored) {
    EXPECT_EQ(parse("@BBShowPlugins").kind, BroadcastKind::ShowPlugins);
    EXPECT_EQ(parse("@bbshowPLUGINS").kind, BroadcastKind::ShowPlugins);
    EXPECT_EQ(parse("@BBHidePlugins").kind, BroadcastKind::HidePlugins);
    EXPECT_EQ(parse("@BBShowPlugins now").kind, BroadcastKind::None);

    EXPECT_EQ(parse("@TelvaneNoSuchThing").kind, BroadcastKind::None);
    EXPECT_EQ(parse("@Telvane").kind, BroadcastKind::None);
    EXPECT_EQ(parse("@Telva").kind, BroadcastKind::None);
    EXPECT_EQ(parse("Telvane About").kind, BroadcastKind::None);
    EXPECT_EQ(parse("").kind, BroadcastKind::None);
    EXPECT_EQ(parseBroadcast(nullptr).kind, BroadcastKind::None);
    EXPECT_EQ(parse("@telvaneabout").id, CmdAbout);
}

TEST_F(CommandSettings, TextArgumentsAreCutToTheirField) {
    const std::string huge(5000, 'x');
    EXPECT_TRUE(run("@TelvaneStrFormat " + huge).followUps & FollowFullRefresh);
    EXPECT_EQ(std::strlen(settings.strFormat), 1023u);
    run("@TelvaneFontFace " + huge);
    EXPECT_EQ(std::strlen(settings.fontFace), 255u);
    run("@TelvaneTimeZone " + huge);
    EXPECT_EQ(std::strlen(settings.timeZone), 15u);
    run("@TelvaneLocalTimeFormat " + huge);
    EXPECT_EQ(std::strlen(settings.localTimeFormat), 1023u);
    run("@TelvaneUniversalTimeFormat " + huge);
    EXPECT_EQ(std::strlen(settings.universalTimeFormat), 1023u);
    run("@TelvaneSetLocale " + huge);
    EXPECT_EQ(std::strlen(settings.localeString), 1023u);
    run("@TelvaneWarnings " + huge);
    EXPECT_EQ(std::strlen(settings.warnings), 1023u);
}

// The rules are kept as typed, so a bad one can be mended; the colour
// takes only "#RRGGBB" and opens the picker without it.
TEST_F(CommandSettings, WarningsAreKeptAsTypedWithTheirColourAndDelay) {
    CommandEffect e = run("@TelvaneWarnings CP>90 bad RP>80=#00FF00");
    EXPECT_STREQ(settings.warnings, "CP>90 bad RP>80=#00FF00");
    EXPECT_EQ(e.followUps, FollowWarnings | FollowRepaint | FollowMenu);
    EXPECT_EQ(warningRuleCount(), 2);
    run("@TelvaneWarnings");
    EXPECT_STREQ(settings.warnings, "");
    EXPECT_EQ(warningRuleCount(), 0);

    settings.warningColor = RGB(1, 2, 3);
    EXPECT_EQ(run("@TelvaneWarningColor #e0A000").followUps, FollowRepaint);
    EXPECT_EQ(settings.warningColor, RGB(0xE0, 0xA0, 0x00));
    for (const char* bad : {"@TelvaneWarningColor #e0a00", "@TelvaneWarningColor e0a000",
                            "@TelvaneWarningColor #zzzzzz", "@TelvaneWarningColor #e0a0000",
                            "@TelvaneWarningColor", "@TelvaneWarningColor "}) {
        EXPECT_EQ(run(bad).followUps, 0u) << bad;
        EXPECT_EQ(settings.warningColor, RGB(0xE0, 0xA0, 0x00)) << bad;
    }
    EXPECT_EQ(parse("@TelvaneWarningColor").id, CmdWarningColor);
    EXPECT_EQ(parse("@TelvaneWarningsColor").id, CmdWarnings);

    EXPECT_EQ(run("@TelvaneWarningDelay 5").followUps, FollowWarnings | FollowRepaint | FollowMenu);
    EXPECT_EQ(settings.warningDelay, 5);
}

TEST_F(CommandSettings, EmptyTextsRestoreTheirDefaults) {
    const CommandEffect e = run("@telvanestrformat");
    EXPECT_STREQ(settings.strFormat, "CPU:%CP RAM:%RP C:%DFC Free");
    EXPECT_EQ(e.followUps, FollowFullRefresh | FollowRepaint | FollowMenu);

    run("@TelvaneLocalTimeFormat ");
    EXPECT_STREQ(settings.localTimeFormat, "%H:%M:%S");
    run("@TelvaneUniversalTimeFormat");
    EXPECT_STREQ(settings.universalTimeFormat, "%H:%M:%S");
    run("@TelvaneTimeZone");
    EXPECT_STREQ(settings.timeZone, "+0.0");

    // These two keep an empty value.
    run("@TelvaneSetLocale C");
    run("@TelvaneSetLocale ");
    EXPECT_STREQ(settings.localeString, "");
    run("@TelvaneFontFace");
    EXPECT_STREQ(settings.fontFace, "");
}

TEST_F(CommandSettings, TogglesFlipTheirSetting) {
    struct Toggle {
        const char* command;
        bool* field;
    };
    const Toggle toggles[] = {
        {"@TelvaneUseRefFont", &settings.useRefFont},
        {"@TelvanePadPercentages", &settings.padPercentages},
        {"@TelvanePluginToggle", &settings.pluginToggle},
        {"@TelvaneOnTop", &settings.alwaysOnTop},
        {"@TelvaneTransparent", &settings.transparency},
        {"@TelvaneSnapToEdge", &settings.snapWindow},
        {"@TelvaneShowBorder", &settings.showBorder},
        {"@TelvaneAllowTip", &settings.allowTooltip},
        {"@TelvaneLockPosition", &settings.lockPos},
        {"@TelvaneDaylightSavingTime", &settings.daylightSavingTime},
    };
    for (const Toggle& t : toggles) {
        run(t.command);
        EXPECT_TRUE(*t.field) << t.command;
        run(t.command);
        EXPECT_FALSE(*t.field) << t.command;
    }
    // Auto-hide is flipped by the placement code along with re-placing.
    EXPECT_EQ(run("@TelvaneAutoHide").followUps, FollowAutoHide | FollowMenu);
    EXPECT_FALSE(settings.autoHide);
}

// Each number at and one beyond both ends of its range, and one inside.
TEST_F(CommandSettings, EachNumberIsHeldToItsOwnRangeAtBothEnds) {
    struct Row {
        const char* command;
        int (*stored)();
        int low, high;
    };
    const Row rows[] = {
        {"@TelvaneAlphaValue ", [] { return settings.alpha; }, 0, 255},
        {"@TelvaneResizeType ", [] { return settings.autoResize; }, 0, 3},
        {"@TelvaneJustifyType ", [] { return settings.justification; }, 0, 2},
        {"@TelvaneFontSize ", [] { return settings.fontHeight; }, 1, 768},
        {"@TelvaneInterface ", [] { return settings.networkInterface; }, kAutoInterface, INT_MAX},
        {"@TelvanePhyDrvNo ", [] { return int{settings.physicalDriveNumber}; }, 0, 9},
        {"@TelvaneDriveNo ", [] { return int{settings.driveNumber}; }, 0, 7},
        {"@TelvaneTempAttrID ", [] { return int{settings.hdTempAttrId}; }, 0, 255},
        {"@TelvaneMainInterval ", [] { return settings.mainInterval; }, 1, 2147483},
        {"@TelvaneDiskInterval ", [] { return settings.diskInterval; }, 1, 2147483},
        {"@TelvaneUptimeInterval ", [] { return settings.uptimeInterval; }, 1, 2147483},
        {"@TelvaneHDTempInterval ", [] { return settings.hdtempInterval; }, 1, 2147483},
        {"@TelvaneWarningDelay ", [] { return settings.warningDelay; }, 0, 3600},
    };
    for (const Row& row : rows) {
        const struct {
            long long sent;
            int stored;
        } cases[] = {{row.low - 1LL, row.low},
                     {row.low, row.low},
                     {row.low + 1LL, row.low + 1},
                     {row.high, row.high},
                     {row.high + 1LL, row.high}};
        for (const auto& c : cases) {
            const std::string command = row.command + std::to_string(c.sent);
            run(command);
            EXPECT_EQ(row.stored(), c.stored) << command;
        }
    }
    // No number reads as 0; one too long for an int is held, not wrapped.
    run("@TelvaneDiskInterval abc");
    EXPECT_EQ(settings.diskInterval, 1);
    run("@TelvaneUptimeInterval 99999999999");
    EXPECT_EQ(settings.uptimeInterval, 2147483);
}

// Only the shell's six styles are stored; any other number changes nothing.
TEST_F(CommandSettings, StyleIsOneOfTheSixOrIgnored) {
    const unsigned restyle = FollowStyleRefresh | FollowRepaint | FollowMenu;
    settings.styleType = 3;
    const struct {
        const char* command;
        int stored;
        unsigned followUps;
    } rows[] = {{"@TelvaneStyleType 0", 3, 0},       {"@TelvaneStyleType 1", 1, restyle},
                {"@TelvaneStyleType 6", 6, restyle}, {"@TelvaneStyleType 7", 6, 0},
                {"@TelvaneStyleType -1", 6, 0},      {"@TelvaneStyleType x", 6, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(run(row.command).followUps, row.followUps) << row.command;
        EXPECT_EQ(settings.styleType, row.stored) << row.command;
    }
}

// What the window does after each command that only changes a setting.
TEST_F(CommandSettings, EachCommandAsksForItsOwnFollowUps) {
    const unsigned clock = FollowClocks | FollowRepaint | FollowMenu;
    const unsigned drive = FollowDriveTemperature | FollowRepaint;
    const unsigned format = FollowFullRefresh | FollowRepaint | FollowMenu;
    const struct {
        const char* command;
        unsigned followUps;
    } rows[] = {
        {"@TelvaneStrFormat %RP", format},
        {"@TelvanePadPercentages", format},
        {"@TelvaneLocalTimeFormat %H", clock},
        {"@TelvaneSetLocale C", clock},
        {"@TelvaneUniversalTimeFormat %H", clock},
        {"@TelvaneTimeZone +1", clock},
        {"@TelvaneDaylightSavingTime", clock},
        {"@TelvaneJustifyType 2", FollowRepaint | FollowMenu},
        {"@TelvaneResizeType 1", FollowMenu},
        {"@TelvaneWidthSize 99", FollowResize},
        {"@TelvaneHeightSize 99", FollowResize},
        {"@TelvaneFontSize 12", FollowRepaint},
        {"@TelvaneFontFace Arial", FollowRepaint},
        {"@TelvaneUseRefFont", FollowRepaintNoErase | FollowMenu},
        {"@TelvaneShowBorder", FollowRepaintNoErase | FollowMenu},
        {"@TelvanePluginToggle", FollowMenu},
        {"@TelvaneSnapToEdge", FollowMenu},
        {"@TelvaneLockPosition", FollowMenu},
        {"@TelvaneOnTop", FollowTopmost | FollowMenu},
        {"@TelvaneAllowTip", FollowTooltip | FollowMenu},
        {"@TelvaneAutoHide", FollowAutoHide | FollowMenu},
        {"@TelvaneTransparent", FollowTransparency},
        {"@TelvaneAlphaValue 9", FollowTransparency},
        {"@TelvaneInterface 1", FollowNetwork | FollowRepaint | FollowMenu},
        {"@TelvanePhyDrvNo 1", drive},
        {"@TelvaneDriveNo 1", drive},
        {"@TelvaneTempAttrID 190", drive},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(run(row.command).followUps, row.followUps) << row.command;
    }
}

TEST_F(CommandSettings, IntervalsRestartTheirTimerAtMostOncePerSecond) {
    const struct {
        const char* command;
        unsigned timer;
        int seconds;
    } timers[] = {{"@TelvaneMainInterval 7", TIMER_MAIN, 7},
                  {"@TelvaneDiskInterval 8", TIMER_DISK, 8},
                  {"@TelvaneUptimeInterval 9", TIMER_UPTIME, 9},
                  {"@TelvaneHDTempInterval -20", TIMER_HDTEMP, 1}};
    for (const auto& t : timers) {
        const CommandEffect e = run(t.command);
        EXPECT_EQ(e.followUps, FollowRestartTimer) << t.command;
        EXPECT_EQ(e.timer, t.timer) << t.command;
        EXPECT_EQ(e.seconds, t.seconds) << t.command;
    }

    EXPECT_EQ(timerPeriodMs(5), 5000u);
    // Huge values neither wrap round to a short period nor exceed what
    // SetTimer accepts.
    EXPECT_GE(timerPeriodMs(INT_MAX), 2147483000u);
    EXPECT_LE(timerPeriodMs(INT_MAX), 0x7FFFFFFFu);
    EXPECT_EQ(timerPeriodMs(4294968), timerPeriodMs(INT_MAX));
    EXPECT_EQ(timerPeriodMs(kIntervalRange.high), timerPeriodMs(INT_MAX));
}

TEST_F(CommandSettings, SizesAndSystemCommandsLeaveTheRestToTheWindow) {
    CommandEffect e = run("@TelvaneWidthSize 300");
    EXPECT_EQ(e.followUps, FollowResize);
    EXPECT_EQ(e.width, 300);
    EXPECT_EQ(e.height, 30);
    e = run("@TelvaneHeightSize 5");
    EXPECT_EQ(e.width, 180);
    EXPECT_EQ(e.height, 5);
    EXPECT_EQ(settings.width, 180);  // resizeWindow stores the size

    settings.inSlit = true;
    for (const char* command : {"@TelvaneAbout", "@TelvaneInSlit", "@TelvaneReloadSettings",
                                "@TelvaneSaveSettings", "@TelvaneEditRC", "@TelvaneHDTempLog",
                                "@TelvaneFontColor", "@TelvaneSetFont", "@BBShowPlugins"}) {
        EXPECT_EQ(run(command).followUps, 0u) << command;
    }
    EXPECT_TRUE(settings.inSlit);
    EXPECT_STREQ(settings.strFormat, "%CP");
    EXPECT_STREQ(settings.fontFace, "Tahoma");
}

namespace {

// Any program may broadcast anything: random texts built from real
// keywords, separators and junk must parse and apply without leaving a
// setting's buffer (ASan watches) or an unterminated text.
TEST_F(CommandSettings, RandomBroadcastsAreHarmless) {
    const char* pieces[] = {"@Telvane", "@telvane", "StrFormat", "TimeZone", "FontFace",
                            "SetLocale", "AlphaValue", "MainInterval", "PhyDrvNo", " ", "",
                            "-", "99999999999", "%CP", "x", "\t", "About", "InSlit",
                            "Warnings", "WarningColor", "WarningDelay", "CP>5=#FF0000"};
    unsigned seed = 7;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = 1 + static_cast<int>(next() % 6);
        for (int i = 0; i < count; ++i) {
            text += pieces[next() % (sizeof pieces / sizeof pieces[0])];
        }
        text.append(next() % 3 == 0 ? 3000 : 0, 'y');
        run(text);
        ASSERT_LT(std::strlen(settings.strFormat), static_cast<size_t>(kFormatTextSize));
        ASSERT_LT(std::strlen(settings.timeZone), static_cast<size_t>(kTimeZoneSize));
        ASSERT_LT(std::strlen(settings.fontFace), static_cast<size_t>(kFontFaceSize));
        ASSERT_LT(std::strlen(settings.localeString), static_cast<size_t>(kFormatTextSize));
        ASSERT_LT(std::strlen(settings.warnings), static_cast<size_t>(kFormatTextSize));
    }
}

}  // namespace
