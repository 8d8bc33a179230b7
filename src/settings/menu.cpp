#include "settings/menu.h"

#include "host/frame.h"
#include "settings/settings.h"
#include "settings/settings_os.h"

Menu* rootMenu = nullptr;

namespace {

bool menuPopup = false;

Menu* namedMenu(const char* title, const char* id) { return MakeNamedMenu(title, id, menuPopup); }

// A group of choices of which only the current value is ticked; a value
// outside the group ticks none.
void choiceItems(Menu* menu, const char* const titles[], const char* const commands[], int count,
                 int first, int current) {
    for (int i = 0; i < count; ++i) {
        MakeMenuItem(menu, titles[i], commands[i], current == first + i);
    }
}

Menu* clockMenu() {
    Menu* menu = namedMenu("Clock", "TLV_Clock");
    MakeMenuItemString(menu, "LocalTimeFormat", "@TelvaneLocalTimeFormat",
                       settings.localTimeFormat);
    MakeMenuItemString(menu, "SetLocale", "@TelvaneSetLocale", settings.localeString);
    MakeMenuNOP(menu, nullptr);
    MakeMenuItemString(menu, "UniversalTimeFormat", "@TelvaneUniversalTimeFormat",
                       settings.universalTimeFormat);
    MakeMenuItemString(menu, "TimeZone", "@TelvaneTimeZone", settings.timeZone);
    MakeMenuItem(menu, "DaylightSavingTime", "@TelvaneDaylightSavingTime",
                 settings.daylightSavingTime);
    return menu;
}

Menu* networkMenu() {
    Menu* menu = namedMenu("Network", "TLV_Network");
    MakeMenuItem(menu, "Auto", "@TelvaneInterface -1", settings.networkInterface == kAutoInterface);
    MakeMenuItemInt(menu, "Interface", "@TelvaneInterface", settings.networkInterface,
                    kAutoInterface, 10);
    return menu;
}

Menu* intervalMenu() {
    Menu* menu = namedMenu("Update Interval (sec)", "TLV_Interval");
    MakeMenuItemInt(menu, "Main Timer", "@TelvaneMainInterval", settings.mainInterval, 1, 999);
    MakeMenuItemInt(menu, "Disk Space", "@TelvaneDiskInterval", settings.diskInterval, 1, 999);
    MakeMenuItemInt(menu, "Uptime", "@TelvaneUptimeInterval", settings.uptimeInterval, 1, 999);
    MakeMenuItemInt(menu, "HD Temperature", "@TelvaneHDTempInterval", settings.hdtempInterval, 1,
                    999);
    return menu;
}

Menu* vexelMenu() {
    Menu* menu = namedMenu("Vexel", "TLV_Vexel");
    MakeMenuItemString(menu, "String Format", "@TelvaneStrFormat", settings.strFormat);
    MakeSubmenu(menu, clockMenu(), "Clock");
    MakeSubmenu(menu, networkMenu(), "Network");
    MakeSubmenu(menu, intervalMenu(), "Update Interval");
    MakeMenuItem(menu, "Pad % Values", "@TelvanePadPercentages", settings.padPercentages);
    return menu;
}

Menu* resizeMenu() {
    static const char* const titles[] = {"None", "Width", "Height", "Both"};
    static const char* const commands[] = {"@TelvaneResizeType 0", "@TelvaneResizeType 1",
                                           "@TelvaneResizeType 2", "@TelvaneResizeType 3"};
    Menu* menu = namedMenu("Auto Resize", "TLV_Resize");
    choiceItems(menu, titles, commands, 4, 0, settings.autoResize);
    return menu;
}

Menu* fontMenu() {
    Menu* menu = namedMenu("Font", "TLV_Font");
    MakeMenuItem(menu, "Use Ref Font", "@TelvaneUseRefFont", settings.useRefFont);
    // The plugin's own font settings mean nothing while the style's font is used.
    if (!settings.useRefFont) {
        MakeMenuItemInt(menu, "Font Size", "@TelvaneFontSize", settings.fontHeight, 1, 64);
        MakeMenuItemString(menu, "Font Face", "@TelvaneFontFace", settings.fontFace);
        MakeMenuItem(menu, "Font Color", "@TelvaneFontColor", false);
        MakeMenuItem(menu, "Browse...", "@TelvaneSetFont", false);
    }
    return menu;
}

Menu* warningsMenu() {
    Menu* menu = namedMenu("Warnings", "TLV_Warnings");
    MakeMenuItemString(menu, "Rules", "@TelvaneWarnings", settings.warnings);
    MakeMenuItemInt(menu, "Delay (sec)", "@TelvaneWarningDelay", settings.warningDelay,
                    kWarningDelayRange.low, kWarningDelayRange.high);
    MakeMenuItem(menu, "Color", "@TelvaneWarningColor", false);
    return menu;
}

Menu* configurationMenu() {
    VirtualScreenSize screen = virtualScreenSize();
    Menu* menu = namedMenu("Configuration", "TLV_Config");
    MakeMenuItemInt(menu, "Width Size", "@TelvaneWidthSize", settings.width, 10, screen.width);
    MakeMenuItemInt(menu, "Height Size", "@TelvaneHeightSize", settings.height, 10,
                    screen.height);
    MakeSubmenu(menu, resizeMenu(), "Auto Resize");
    MakeSubmenu(menu, fontMenu(), "Font");
    MakeSubmenu(menu, warningsMenu(), "Warnings");
    MakeMenuNOP(menu, nullptr);
    // Docking is only possible when the shell gave us a slit.
    if (frame.slitWindow != nullptr) {
        MakeMenuItem(menu, "In Slit", "@TelvaneInSlit", settings.inSlit);
    }
    MakeMenuItem(menu, "Plugin Toggle", "@TelvanePluginToggle", settings.pluginToggle);
    MakeMenuItem(menu, "Always on Top", "@TelvaneOnTop", settings.alwaysOnTop);
    MakeMenuItem(menu, "Transparency", "@TelvaneTransparent", settings.transparency);
    MakeMenuItemInt(menu, "Alpha Value", "@TelvaneAlphaValue", settings.alpha, kAlphaRange.low,
                    kAlphaRange.high);
    MakeMenuItem(menu, "Snap To Edge", "@TelvaneSnapToEdge", settings.snapWindow);
    MakeMenuItem(menu, "Show Border", "@TelvaneShowBorder", settings.showBorder);
    MakeMenuItem(menu, "Allow Tooltip", "@TelvaneAllowTip", settings.allowTooltip);
    MakeMenuItem(menu, "Lock Position", "@TelvaneLockPosition", settings.lockPos);
    MakeMenuItem(menu, "Auto Hide", "@TelvaneAutoHide", settings.autoHide);
    return menu;
}

Menu* styleMenu() {
    static const char* const titles[] = {"Toolbar", "Button", "ButtonP",
                                         "Label", "WinLabel", "Clock"};
    static const char* const commands[] = {"@TelvaneStyleType 1", "@TelvaneStyleType 2",
                                           "@TelvaneStyleType 3", "@TelvaneStyleType 4",
                                           "@TelvaneStyleType 5", "@TelvaneStyleType 6"};
    Menu* menu = namedMenu("Style Type", "TLV_Style");
    choiceItems(menu, titles, commands, 6, 1, settings.styleType);
    return menu;
}

Menu* justificationMenu() {
    static const char* const titles[] = {"Left", "Center", "Right"};
    static const char* const commands[] = {"@TelvaneJustifyType 0", "@TelvaneJustifyType 1",
                                           "@TelvaneJustifyType 2"};
    Menu* menu = namedMenu("Justification", "TLV_Justify");
    choiceItems(menu, titles, commands, 3, 0, settings.justification);
    return menu;
}

Menu* hdTempMenu() {
    Menu* menu = namedMenu("HD Temperature", "TLV_HDTemp");
    MakeMenuItem(menu, "Log All S.M.A.R.T. Attributes", "@TelvaneHDTempLog", false);
    MakeMenuItemInt(menu, "Physical Drive Number", "@TelvanePhyDrvNo", settings.physicalDriveNumber,
                    kPhysicalDriveRange.low, kPhysicalDriveRange.high);
    MakeMenuItemInt(menu, "Drive Number", "@TelvaneDriveNo", settings.driveNumber,
                    kDriveNumberRange.low, kDriveNumberRange.high);
    MakeMenuItemInt(menu, "Attributes ID", "@TelvaneTempAttrID", settings.hdTempAttrId,
                    kAttributeIdRange.low, kAttributeIdRange.high);
    return menu;
}

Menu* settingsMenu() {
    Menu* menu = namedMenu("Settings", "TLV_Settings");
    MakeMenuItem(menu, "Edit Settings", "@TelvaneEditRC", false);
    MakeMenuItem(menu, "Reload Settings", "@TelvaneReloadSettings", false);
    MakeMenuItem(menu, "Save Settings", "@TelvaneSaveSettings", false);
    MakeMenuNOP(menu, nullptr);
    MakeSubmenu(menu, hdTempMenu(), "HD Temperature");
    return menu;
}

}  // namespace

void deleteMenu() {
    if (rootMenu != nullptr) {
        DelMenu(rootMenu);
        rootMenu = nullptr;
    }
}

void buildMenu(bool popup) {
    deleteMenu();
    menuPopup = popup;
    // The shell sees the menus made in this order; the root comes last.
    Menu* vexel = vexelMenu();
    Menu* configuration = configurationMenu();
    Menu* style = styleMenu();
    Menu* justification = justificationMenu();
    Menu* settingsSubmenu = settingsMenu();

    Menu* root = namedMenu("Telvane", "TLV_Main");
    MakeSubmenu(root, vexel, "Vexel");
    MakeSubmenu(root, configuration, "Configuration");
    MakeSubmenu(root, style, "Style Type");
    MakeSubmenu(root, justification, "Justification");
    MakeSubmenu(root, settingsSubmenu, "Settings");
    MakeMenuItem(root, "About", "@TelvaneAbout", false);
    rootMenu = root;
    ShowMenu(rootMenu);
}
