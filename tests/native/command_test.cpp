#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "plugin/commands.h"
#include "plugin/frame.h"
#include "settings/settings.h"

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
    }
    void TearDown() override { settings = saved_; }

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

TEST_F(CommandSettings, NumbersOutsideTheirRangeAreHeld) {
    struct Row {
        const char* command;
        int Settings::*field;
        int held;
    };
    const Row rows[] = {
        {"@TelvaneAlphaValue 300", &Settings::alpha, 255},
        {"@TelvaneAlphaValue -20", &Settings::alpha, 0},
        {"@TelvaneAlphaValue 200", &Settings::alpha, 200},
        {"@TelvaneResizeType 9", &Settings::autoResize, 3},
        {"@TelvaneJustifyType 1024", &Settings::justification, 2},
        {"@TelvaneJustifyType -1", &Settings::justification, 0},
        {"@TelvaneInterface -3", &Settings::networkInterface, 0},
        {"@TelvaneMainInterval 0", &Settings::mainInterval, 1},
        {"@TelvaneDiskInterval abc", &Settings::diskInterval, 1},
        {"@TelvaneUptimeInterval 99999999999", &Settings::uptimeInterval, 2147483},
        {"@TelvaneHDTempInterval -20", &Settings::hdtempInterval, 1},
    };
    for (const Row& row : rows) {
        run(row.command);
        EXPECT_EQ(settings.*row.field, row.held) << row.command;
    }
    struct ByteRow {
        const char* command;
        uint8_t Settings::*field;
        int held;
    };
    const ByteRow byteRows[] = {
        {"@TelvanePhyDrvNo 258", &Settings::physicalDriveNumber, 9},
        {"@TelvaneDriveNo -1", &Settings::driveNumber, 0},
        {"@TelvaneDriveNo 254", &Settings::driveNumber, 7},
        {"@TelvaneTempAttrID 450", &Settings::hdTempAttrId, 255},
        {"@TelvaneTempAttrID -1", &Settings::hdTempAttrId, 0},
    };
    for (const ByteRow& row : byteRows) {
        EXPECT_EQ(run(row.command).followUps, FollowDriveTemperature | FollowRepaint);
        EXPECT_EQ(settings.*row.field, row.held) << row.command;
    }
}

TEST_F(CommandSettings, IntervalsRestartTheirTimerAtMostOncePerSecond) {
    CommandEffect e = run("@TelvaneMainInterval 5");
    EXPECT_EQ(settings.mainInterval, 5);
    EXPECT_EQ(e.followUps, FollowRestartTimer);
    EXPECT_EQ(e.timer, TIMER_MAIN);
    EXPECT_EQ(timerPeriodMs(e.seconds), 5000u);
    EXPECT_EQ(run("@TelvaneDiskInterval 0").timer, TIMER_DISK);
    EXPECT_EQ(run("@TelvaneUptimeInterval 1").timer, TIMER_UPTIME);
    e = run("@TelvaneHDTempInterval -20");
    EXPECT_EQ(e.timer, TIMER_HDTEMP);
    EXPECT_EQ(timerPeriodMs(e.seconds), 1000u);

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
                            "-", "99999999999", "%CP", "x", "\t", "About", "InSlit"};
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
    }
}

}  // namespace
