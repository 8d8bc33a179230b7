#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "display/render.h"
#include "fake_shell.h"
#include "plugin/commands.h"
#include "plugin/frame.h"
#include "settings/settings.h"
#include "settings/settings_os.h"

namespace {

const std::string kPluginDir = "C:\\Blackbox\\plugins\\Telvane\\";
const std::string kShellDir = "C:\\Blackbox\\";
const std::string kPluginRc = kPluginDir + "Telvane.rc";

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        fakeshell::reset();
        setStandInHostPath((kShellDir + "blackbox.exe").c_str());
        setStandInModulePath((kPluginDir + "Telvane.dll").c_str());
        setStandInVirtualScreen(1024, 768);
        settings = Settings{};
        settingsPath[0] = '\0';
        resetStandInCreatedFile();
    }

    // A found file: load it and return the record.
    const Settings& loadFrom(const std::string& file) {
        fakeshell::addFile(file);
        loadSettings();
        return settings;
    }
};

// Every field, for whole-record comparisons with a readable diff.
std::string describe(const Settings& s) {
    std::ostringstream out;
    out << s.x << ' ' << s.y << ' ' << s.width << ' ' << s.height << ' ' << s.fontHeight << ' '
        << s.alpha << ' ' << s.autoResize << ' ' << s.styleType << ' ' << s.justification << ' '
        << s.mainInterval << ' ' << s.diskInterval << ' ' << s.uptimeInterval << ' '
        << s.hdtempInterval << ' ' << s.networkInterface << " | " << s.alwaysOnTop
        << s.transparency << s.snapWindow << s.pluginToggle << s.slitChoice << s.padPercentages
        << s.showBorder << s.allowTooltip << s.lockPos << s.autoHide << s.useRefFont
        << s.daylightSavingTime << " | " << s.fontColor << " [" << s.fontFace << "] ["
        << s.strFormat << "] [" << s.localTimeFormat << "] [" << s.universalTimeFormat << "] ["
        << s.timeZone << "] [" << s.localeString << "] " << int(s.physicalDriveNumber) << ' '
        << int(s.driveNumber) << ' ' << int(s.hdTempAttrId) << " [" << s.warnings << "] "
        << s.warningColor << ' ' << s.warningDelay;
    return out.str();
}

TEST_F(SettingsFile, FirstStartWritesEveryKeyBesideThePluginInSaveOrder) {
    settings.fontColor = RGB(1, 2, 3);
    settings.slitChoice = true;
    loadSettings();

    EXPECT_EQ(settingsPath, kPluginRc);
    // Made under its own name before the shell's writer could name it.
    EXPECT_EQ(standInCreatedFile(), kPluginRc);
    EXPECT_TRUE(FileExists(kPluginRc.c_str()));
    const std::vector<std::string> saveOrder = {
        "telvane.x:", "telvane.y:", "telvane.width:", "telvane.height:", "telvane.fontHeight:",
        "telvane.alpha:", "telvane.AutoResize:", "telvane.styleType:", "telvane.justification:",
        "telvane.main_interval(sec):", "telvane.disk_interval(sec):",
        "telvane.uptime_interval(sec):", "telvane.hdtemp_interval(sec):", "telvane.interface:",
        "telvane.alwaysontop:", "telvane.transparency:", "telvane.snapWindow:",
        "telvane.pluginToggle:", "telvane.inSlit:", "telvane.padPercentages:",
        "telvane.showBorder:", "telvane.allowtooltip:", "telvane.lockPos:", "telvane.autoHide:",
        "telvane.useRefFont:", "telvane.daylightSavingTime:", "telvane.fontColor:",
        "telvane.fontFace:", "telvane.strFormat:", "telvane.localTimeFormat:",
        "telvane.universalTimeFormat:", "telvane.timeZone:", "telvane.localeString:",
        "telvane.PhysicalDriveNumber:", "telvane.DriveNumber:", "telvane.HDTempAttrID:",
        "telvane.warnings:", "telvane.warningColor:", "telvane.warningDelay:"};
    EXPECT_EQ(fakeshell::writtenKeys(kPluginRc), saveOrder);

    // A first start floats, and the font's colour is the one already in
    // use; the warnings' is its default.
    EXPECT_EQ(fakeshell::value(kPluginRc, "telvane.inSlit:"), "false");
    EXPECT_EQ(fakeshell::value(kPluginRc, "telvane.fontColor:"), "#010203");
    EXPECT_EQ(fakeshell::value(kPluginRc, "telvane.warningColor:"), "#ff3030");
    EXPECT_EQ(describe(settings),
              "10 10 180 30 12 160 0 1 1 1 10 60 10 -1 | 101001100010 | 197121 [Tahoma] "
              "[CPU:%CP RAM:%RP C:%DFC Free] [%H:%M:%S] [%H:%M:%S] [+0.0] [] 0 0 194 [] " +
                  std::to_string(RGB(0xff, 0x30, 0x30)) + " 2");
}

TEST_F(SettingsFile, SearchesPluginFolderBeforeShellFolderAndDottedNameFirst) {
    struct Case {
        std::vector<std::string> files;
        std::string expected;
    } cases[] = {
        {{kShellDir + "Telvanerc"}, kShellDir + "Telvanerc"},
        {{kShellDir + "Telvane.rc", kShellDir + "Telvanerc"}, kShellDir + "Telvane.rc"},
        {{kPluginDir + "Telvanerc", kShellDir + "Telvane.rc"}, kPluginDir + "Telvanerc"},
        {{kPluginDir + "Telvanerc", kPluginRc, kShellDir + "Telvane.rc"}, kPluginRc},
    };
    for (const Case& c : cases) {
        SetUp();
        for (const std::string& file : c.files) {
            fakeshell::addFile(file);
        }
        loadSettings();
        EXPECT_EQ(settingsPath, c.expected);
        // A found file is only read.
        for (const std::string& file : c.files) {
            EXPECT_TRUE(fakeshell::writtenKeys(file).empty()) << file;
        }
        EXPECT_STREQ(standInCreatedFile(), "");
    }
    // The shell's folder is its program's; a path without one names none.
    SetUp();
    setStandInHostPath("D:\\Shell\\blackbox.exe");
    EXPECT_EQ(loadFrom("D:\\Shell\\Telvanerc").strFormat, std::string(kDefaultFormat));
    EXPECT_EQ(settingsPath, std::string("D:\\Shell\\Telvanerc"));
    SetUp();
    setStandInHostPath("blackbox.exe");
    fakeshell::addFile("Telvane.rc");
    loadSettings();
    EXPECT_EQ(settingsPath, kPluginRc);
}

TEST_F(SettingsFile, AbsentKeysTakeTheReadDefaults) {
    // Unlike a first start, an existing file without the key docks.
    EXPECT_EQ(describe(loadFrom(kPluginRc)),
              "10 10 180 30 12 160 0 1 1 1 10 60 10 -1 | 101011100010 | 0 [Tahoma] "
              "[CPU:%CP RAM:%RP C:%DFC Free] [%H:%M:%S] [%H:%M:%S] [+0.0] [] 0 0 194 [] " +
                  std::to_string(RGB(0xff, 0x30, 0x30)) + " 2");
}

TEST_F(SettingsFile, EmptyTextsTakeTheirDefaultExceptTheLocale) {
    for (const char* key : {"telvane.strFormat:", "telvane.localTimeFormat:",
                            "telvane.universalTimeFormat:", "telvane.timeZone:",
                            "telvane.localeString:", "telvane.fontFace:"}) {
        fakeshell::setValue(kPluginRc, key, "");
    }
    const Settings& s = loadFrom(kPluginRc);
    EXPECT_STREQ(s.strFormat, "CPU:%CP RAM:%RP C:%DFC Free");
    EXPECT_STREQ(s.localTimeFormat, "%H:%M:%S");
    EXPECT_STREQ(s.universalTimeFormat, "%H:%M:%S");
    EXPECT_STREQ(s.timeZone, "+0.0");
    EXPECT_STREQ(s.localeString, "");
    EXPECT_STREQ(s.fontFace, "");
}

TEST_F(SettingsFile, OverLongTextsAreCutToTheirBuffers) {
    fakeshell::setValue(kPluginRc, "telvane.fontFace:", std::string(300, 'f'));
    fakeshell::setValue(kPluginRc, "telvane.strFormat:", std::string(5000, 's'));
    fakeshell::setValue(kPluginRc, "telvane.localeString:", std::string(1024, 'l'));
    fakeshell::setValue(kPluginRc, "telvane.timeZone:", "+10.5 and then some");
    const Settings& s = loadFrom(kPluginRc);
    EXPECT_EQ(std::string(s.fontFace), std::string(255, 'f'));
    EXPECT_EQ(std::string(s.strFormat), std::string(1023, 's'));
    EXPECT_EQ(std::string(s.localeString), std::string(1023, 'l'));
    EXPECT_STREQ(s.timeZone, "+10.5 and then ");
}

TEST_F(SettingsFile, AShellThatAnswersNoTextGivesTheDefaults) {
    fakeshell::setReadStringReturnsNull(true);
    const Settings& s = loadFrom(kPluginRc);
    EXPECT_STREQ(s.fontFace, "Tahoma");
    EXPECT_STREQ(s.strFormat, "CPU:%CP RAM:%RP C:%DFC Free");
    EXPECT_STREQ(s.timeZone, "+0.0");
    EXPECT_STREQ(s.localeString, "");
}

TEST_F(SettingsFile, NumbersOutsideTheirRangeAreHeldAsReadAndSavedSo) {
    struct Row {
        const char* key;
        const char* stored;
        int held;
    };
    const Row rows[] = {
        {"telvane.alpha:", "300", 255},
        {"telvane.alpha:", "-1", 0},
        {"telvane.autoResize:", "7", 3},
        {"telvane.justification:", "-4", 0},
        {"telvane.main_interval(sec):", "0", 1},
        {"telvane.disk_interval(sec):", "-5", 1},
        {"telvane.uptime_interval(sec):", "2147483647", 2147483},
        {"telvane.hdtemp_interval(sec):", "3600", 3600},
        {"telvane.interface:", "-2", -1},
        {"telvane.interface:", "0", 0},  // stored files mean the first row by it
        {"telvane.PhysicalDriveNumber:", "258", 9},
        {"telvane.DriveNumber:", "254", 7},
        {"telvane.DriveNumber:", "-1", 0},
        {"telvane.HDTempAttrID:", "450", 255},
        {"telvane.HDTempAttrID:", "-1", 0},
        {"telvane.warningDelay:", "-1", 0},
        {"telvane.warningDelay:", "86400", 3600},
    };
    const auto field = [](const std::string& key) -> int {
        if (key == "telvane.alpha:") return settings.alpha;
        if (key == "telvane.autoResize:") return settings.autoResize;
        if (key == "telvane.justification:") return settings.justification;
        if (key == "telvane.main_interval(sec):") return settings.mainInterval;
        if (key == "telvane.disk_interval(sec):") return settings.diskInterval;
        if (key == "telvane.uptime_interval(sec):") return settings.uptimeInterval;
        if (key == "telvane.hdtemp_interval(sec):") return settings.hdtempInterval;
        if (key == "telvane.interface:") return settings.networkInterface;
        if (key == "telvane.PhysicalDriveNumber:") return settings.physicalDriveNumber;
        if (key == "telvane.DriveNumber:") return settings.driveNumber;
        if (key == "telvane.warningDelay:") return settings.warningDelay;
        return settings.hdTempAttrId;
    };
    fakeshell::addFile(kPluginRc);
    for (const Row& row : rows) {
        fakeshell::setValue(kPluginRc, row.key, row.stored);
        loadSettings();
        EXPECT_EQ(field(row.key), row.held) << row.key << ' ' << row.stored;
    }
    saveSettings();
    EXPECT_EQ(fakeshell::value(kPluginRc, "telvane.alpha:"), "0");
    EXPECT_EQ(fakeshell::value(kPluginRc, "telvane.HDTempAttrID:"), "0");
    EXPECT_EQ(fakeshell::value(kPluginRc, "telvane.main_interval(sec):"), "1");
}

TEST_F(SettingsFile, PositionsOffAndSizesBeyondTheVirtualScreenAreBroughtBack) {
    fakeshell::setValue(kPluginRc, "telvane.x:", "1024");
    fakeshell::setValue(kPluginRc, "telvane.y:", "767");
    fakeshell::setValue(kPluginRc, "telvane.width:", "2147483647");
    fakeshell::setValue(kPluginRc, "telvane.height:", "768");
    EXPECT_EQ(loadFrom(kPluginRc).x, 10);
    EXPECT_EQ(settings.y, 767);
    EXPECT_EQ(settings.width, 1024);
    EXPECT_EQ(settings.height, 768);

    fakeshell::setValue(kPluginRc, "telvane.x:", "-40");
    fakeshell::setValue(kPluginRc, "telvane.y:", "5000");
    loadSettings();
    EXPECT_EQ(settings.x, -40);
    EXPECT_EQ(settings.y, 10);
}

TEST_F(SettingsFile, FontHeightIsHeldToTheDesktopFromFileCommandAndPicker) {
    // 53728 from a saved file grew a 64-bit shell past 24 GB in one paint.
    fakeshell::setValue(kPluginRc, "telvane.fontHeight:", "53728");
    EXPECT_EQ(loadFrom(kPluginRc).fontHeight, 768);
    fakeshell::setValue(kPluginRc, "telvane.fontHeight:", "-20");
    loadSettings();
    EXPECT_EQ(settings.fontHeight, 1);

    auto command = [](const char* text) {
        applyCommandToSettings(parseBroadcast(text));
        return settings.fontHeight;
    };
    EXPECT_EQ(command("@TelvaneFontSize 20000"), 768);
    EXPECT_EQ(command("@TelvaneFontSize 0"), 1);
    EXPECT_EQ(command("@TelvaneFontSize 64"), 64);
    EXPECT_EQ(fontHeightWithin(-static_cast<int64_t>(INT_MIN)), 768);  // the font picker's
}

TEST_F(SettingsFile, ASavedRecordReadsBackTheSame) {
    fakeshell::addFile(kPluginRc);
    loadSettings();
    settings = Settings{1, 2, 300, 40, 9, 200, 3, 6, 2, 5, 20, 120, 30, 4,
                        false, true, false, true, true, false, false, true, true, true,
                        false, true, RGB(0x12, 0xab, 0xef), "Lucida Console",
                        "%TL %TU\\n%H", "%I:%M %p", "%H:%M", "-3.5", "German", 1, 3, 190, true,
                        "CP>90=#e0A000 RP>  H>=55", RGB(1, 2, 3), 0};
    const std::string saved = describe(settings);

    saveSettings();
    settings = Settings{};
    loadSettings();
    EXPECT_EQ(describe(settings), saved);
}

}  // namespace
