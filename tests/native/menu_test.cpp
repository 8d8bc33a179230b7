#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_shell.h"
#include "plugin/frame.h"
#include "settings/menu.h"
#include "settings/settings.h"
#include "settings/settings_os.h"

namespace {

class ContextMenu : public ::testing::Test {
protected:
    void SetUp() override {
        fakeshell::reset();
        setStandInVirtualScreen(1280, 1024);
        frame.slitWindow = reinterpret_cast<HWND>(0x51);
        settings = Settings{10, 20, 180, 30, 12, 160, 2, 4, 1, 1, 10, 60, 10, 3,
                            true, false, true, false, true, true, true, false, false, false,
                            false, false, 0, "Tahoma", "CPU:%CP", "%H:%M", "%H:%M:%S", "+1.0",
                            "", 0, 1, 194, true, "CP>90 DQC>95", RGB(255, 48, 48), 2};
    }
    void TearDown() override {
        deleteMenu();
        frame.slitWindow = nullptr;
        EXPECT_EQ(fakeshell::liveMenus(), 0);
    }

    const Menu* submenu(const Menu* menu, const std::string& title) {
        for (const MenuItem& item : menu->items) {
            if (item.kind == MenuItem::Submenu && item.title == title) {
                return item.submenu;
            }
        }
        return nullptr;
    }
    const Menu* menuAt(std::initializer_list<const char*> path) {
        const Menu* menu = rootMenu;
        for (const char* title : path) {
            menu = menu ? submenu(menu, title) : nullptr;
        }
        return menu;
    }
    std::vector<std::string> titles(const Menu* menu) {
        std::vector<std::string> result;
        for (const MenuItem& item : menu->items) {
            result.push_back(item.title);
        }
        return result;
    }
    int ticks(const Menu* menu) {
        int count = 0;
        for (const MenuItem& item : menu->items) {
            count += item.checked;
        }
        return count;
    }
};

const char kFullTree[] = R"([Telvane] TLV_Main
Vexel >
  [Vexel] TLV_Vexel
  String Format -> @TelvaneStrFormat = "CPU:%CP"
  Clock >
    [Clock] TLV_Clock
    LocalTimeFormat -> @TelvaneLocalTimeFormat = "%H:%M"
    SetLocale -> @TelvaneSetLocale = ""
    ----
    UniversalTimeFormat -> @TelvaneUniversalTimeFormat = "%H:%M:%S"
    TimeZone -> @TelvaneTimeZone = "+1.0"
    DaylightSavingTime -> @TelvaneDaylightSavingTime
  Network >
    [Network] TLV_Network
    Auto -> @TelvaneInterface -1
    Interface -> @TelvaneInterface = 3 (-1..10)
  Update Interval >
    [Update Interval (sec)] TLV_Interval
    Main Timer -> @TelvaneMainInterval = 1 (1..999)
    Disk Space -> @TelvaneDiskInterval = 10 (1..999)
    Uptime -> @TelvaneUptimeInterval = 60 (1..999)
    HD Temperature -> @TelvaneHDTempInterval = 10 (1..999)
  Pad % Values -> @TelvanePadPercentages [x]
Configuration >
  [Configuration] TLV_Config
  Width Size -> @TelvaneWidthSize = 180 (10..1280)
  Height Size -> @TelvaneHeightSize = 30 (10..1024)
  Auto Resize >
    [Auto Resize] TLV_Resize
    None -> @TelvaneResizeType 0
    Width -> @TelvaneResizeType 1
    Height -> @TelvaneResizeType 2 [x]
    Both -> @TelvaneResizeType 3
  Font >
    [Font] TLV_Font
    Use Ref Font -> @TelvaneUseRefFont
    Font Size -> @TelvaneFontSize = 12 (1..64)
    Font Face -> @TelvaneFontFace = "Tahoma"
    Font Color -> @TelvaneFontColor
    Browse... -> @TelvaneSetFont
  Warnings >
    [Warnings] TLV_Warnings
    Rules -> @TelvaneWarnings = "CP>90 DQC>95"
    Delay (sec) -> @TelvaneWarningDelay = 2 (0..3600)
    Color -> @TelvaneWarningColor
  ----
  In Slit -> @TelvaneInSlit [x]
  Plugin Toggle -> @TelvanePluginToggle
  Always on Top -> @TelvaneOnTop [x]
  Transparency -> @TelvaneTransparent
  Alpha Value -> @TelvaneAlphaValue = 160 (0..255)
  Snap To Edge -> @TelvaneSnapToEdge [x]
  Show Border -> @TelvaneShowBorder [x]
  Allow Tooltip -> @TelvaneAllowTip
  Lock Position -> @TelvaneLockPosition
  Auto Hide -> @TelvaneAutoHide
Style Type >
  [Style Type] TLV_Style
  Toolbar -> @TelvaneStyleType 1
  Button -> @TelvaneStyleType 2
  ButtonP -> @TelvaneStyleType 3
  Label -> @TelvaneStyleType 4 [x]
  WinLabel -> @TelvaneStyleType 5
  Clock -> @TelvaneStyleType 6
Justification >
  [Justification] TLV_Justify
  Left -> @TelvaneJustifyType 0
  Center -> @TelvaneJustifyType 1 [x]
  Right -> @TelvaneJustifyType 2
Settings >
  [Settings] TLV_Settings
  Edit Settings -> @TelvaneEditRC
  Reload Settings -> @TelvaneReloadSettings
  Save Settings -> @TelvaneSaveSettings
  ----
  HD Temperature >
    [HD Temperature] TLV_HDTemp
    Log All S.M.A.R.T. Attributes -> @TelvaneHDTempLog
    Physical Drive Number -> @TelvanePhyDrvNo = 0 (0..9)
    Drive Number -> @TelvaneDriveNo = 1 (0..7)
    Attributes ID -> @TelvaneTempAttrID = 194 (0..255)
About -> @TelvaneAbout
)";

TEST_F(ContextMenu, BuildsTheWholeTreeWithCurrentValuesAndShowsIt) {
    buildMenu(true);
    ASSERT_NE(rootMenu, nullptr);
    EXPECT_EQ(fakeshell::dump(rootMenu), kFullTree);
    EXPECT_EQ(fakeshell::shownMenu(), rootMenu);
    const std::vector<std::string> order = {
        "Vexel/TLV_Vexel",       "Clock/TLV_Clock",   "Network/TLV_Network",
        "Update Interval (sec)/TLV_Interval",         "Configuration/TLV_Config",
        "Auto Resize/TLV_Resize", "Font/TLV_Font",    "Warnings/TLV_Warnings",
        "Style Type/TLV_Style",
        "Justification/TLV_Justify", "Settings/TLV_Settings", "HD Temperature/TLV_HDTemp",
        "Telvane/TLV_Main"};
    EXPECT_EQ(fakeshell::madeMenus(), order);
}

TEST_F(ContextMenu, OffersDockingOnlyWhenStartedWithASlit) {
    frame.slitWindow = nullptr;
    buildMenu(true);
    const Menu* configuration = menuAt({"Configuration"});
    ASSERT_NE(configuration, nullptr);
    for (const std::string& title : titles(configuration)) {
        EXPECT_NE(title, "In Slit");
    }
    EXPECT_EQ(titles(configuration)[6], "Plugin Toggle");
}

TEST_F(ContextMenu, HidesThePluginFontWhileTheStyleFontIsUsed) {
    settings.useRefFont = true;
    buildMenu(true);
    const Menu* font = menuAt({"Configuration", "Font"});
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(titles(font), std::vector<std::string>{"Use Ref Font"});
    EXPECT_TRUE(font->items[0].checked);
}

TEST_F(ContextMenu, ValuesOutsideAChoiceTickNothing) {
    struct Case {
        int autoResize, styleType, justification;
    } cases[] = {{4, 0, 3}, {-1, 7, -1}};
    for (const Case& c : cases) {
        settings.autoResize = c.autoResize;
        settings.styleType = c.styleType;
        settings.justification = c.justification;
        buildMenu(false);
        EXPECT_EQ(ticks(menuAt({"Configuration", "Auto Resize"})), 0);
        EXPECT_EQ(ticks(menuAt({"Style Type"})), 0);
        EXPECT_EQ(ticks(menuAt({"Justification"})), 0);
    }
}

TEST_F(ContextMenu, ARebuildReplacesThePreviousTree) {
    buildMenu(true);
    const int oneTree = fakeshell::liveMenus();
    EXPECT_EQ(oneTree, 13);
    buildMenu(false);
    EXPECT_EQ(fakeshell::liveMenus(), oneTree);
    EXPECT_EQ(fakeshell::shownMenu(), rootMenu);
    // The refresh flag reaches every menu of the new tree.
    for (const char* title : {"Vexel", "Configuration", "Settings"}) {
        EXPECT_FALSE(menuAt({title})->popup) << title;
    }
    EXPECT_FALSE(menuAt({"Settings", "HD Temperature"})->popup);
    EXPECT_FALSE(rootMenu->popup);

    deleteMenu();
    EXPECT_EQ(rootMenu, nullptr);
    EXPECT_EQ(fakeshell::liveMenus(), 0);
    deleteMenu();  // nothing left to delete
}

}  // namespace
