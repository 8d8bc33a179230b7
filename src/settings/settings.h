// The settings record: one value per key of Telvane.rc, alive for the
// whole run. Every module reads its settings from here; commands change
// the record, and only saveSettings writes it back to the file.
#pragma once

#include <cstdint>

#include "host/wintypes.h"

constexpr int kFormatTextSize = 1024;   // format, clock and locale texts
constexpr int kFontFaceSize = 256;
constexpr int kTimeZoneSize = 16;
constexpr int kPathSize = 260;

constexpr const char* kDefaultFormat = "CPU:%CP RAM:%RP C:%DFC Free";
constexpr const char* kDefaultClockFormat = "%H:%M:%S";
constexpr const char* kDefaultTimeZone = "+0.0";
constexpr const char* kDefaultWarningColor = "#FF3030";

struct Settings {
    int x;
    int y;
    int width;
    int height;
    int fontHeight;
    int alpha;
    int autoResize;      // 0 none, 1 width, 2 height, 3 both
    int styleType;       // host style index 1..6
    int justification;   // 0 left, 1 centre, 2 right
    int mainInterval;    // seconds
    int diskInterval;
    int uptimeInterval;
    int hdtempInterval;
    int networkInterface;  // kAutoInterface, 0 = first row, n = row n

    bool alwaysOnTop;
    bool transparency;
    bool snapWindow;
    bool pluginToggle;
    bool inSlit;         // docked in the slit now
    bool padPercentages;
    bool showBorder;
    bool allowTooltip;
    bool lockPos;
    bool autoHide;
    bool useRefFont;
    bool daylightSavingTime;

    COLORREF fontColor;
    char fontFace[kFontFaceSize];
    char strFormat[kFormatTextSize];
    char localTimeFormat[kFormatTextSize];
    char universalTimeFormat[kFormatTextSize];
    char timeZone[kTimeZoneSize];
    char localeString[kFormatTextSize];

    uint8_t physicalDriveNumber;
    uint8_t driveNumber;
    uint8_t hdTempAttrId;

    // Key telvane.inSlit: dock whenever the shell gives a slit. inSlit
    // follows it only while a slit is there.
    bool slitChoice;

    // Warning colours: the rules as typed (format/warnings.h reads them),
    // the colour of a rule without its own, and the delay in seconds.
    char warnings[kFormatTextSize];
    COLORREF warningColor;
    int warningDelay;
};

// A number outside its setting's range is held to the nearest end of it,
// from commands, the menu and the file alike: an alpha of 300 is opaque,
// not the 44 its low 8 bits would give. Sizes hold to the screen
// (render.h). The style is the exception: the nearest style is no better
// a guess than any other, so an unknown one is ignored or read as 1.
struct SettingRange {
    int low;
    int high;
};
constexpr SettingRange kAlphaRange = {0, 255};
constexpr SettingRange kAutoResizeRange = {0, 3};
constexpr SettingRange kJustificationRange = {0, 2};
// Seconds, up to the longest period a timer takes.
constexpr SettingRange kIntervalRange = {1, 0x7FFFFFFF / 1000};
// The interface: -1 (Auto) follows the one that carries the default
// route; 0 and 1 are the first row of the table, n row n (0 stays the
// first row, as stored files rely on it).
constexpr int kAutoInterface = -1;
constexpr SettingRange kInterfaceRange = {kAutoInterface, 0x7FFFFFFF};
constexpr SettingRange kPhysicalDriveRange = {0, 9};
constexpr SettingRange kDriveNumberRange = {0, 7};
// 0 names no attribute (an empty entry's id): %H shows 255 for it.
constexpr SettingRange kAttributeIdRange = {0, 255};
constexpr SettingRange kWarningDelayRange = {0, 3600};  // seconds

int heldWithin(int value, SettingRange range);

extern Settings settings;
extern char settingsPath[kPathSize];

// Finds Telvane.rc (or Telvanerc) beside the plugin or in the shell's
// folder and reads every key; with no file anywhere, assigns the no-file
// values and writes them out beside the plugin. True when a file was read.
bool loadSettings();
// Writes every key to settingsPath.
void saveSettings();

// The shell's style indexes 1..6 (Toolbar to Clock).
bool isStyleIndex(int value);

constexpr int kMinimumWindowSize = 10;  // pixels, each way
// One side of a window size held to 10..`screen` pixels (a screen size
// below 10 sets no maximum).
int windowSizeWithin(int64_t value, int screen);
// A font height held to 1..the virtual screen's height: one paint of a
// larger font took gigabytes of the shell's memory, and no line of it
// could show.
int fontHeightWithin(int64_t value);

// Timer period for an interval setting: at least one second, so a 0 or a
// negative number cannot make a timer fire continuously, and no overflow
// for huge numbers.
unsigned timerPeriodMs(int seconds);

// Bounded copy for text settings: at most size-1 characters, always
// terminated. Used by the loader and by commands alike.
void copySettingText(char* destination, int size, const char* source);

// Sets the warning rules in force from settings.warnings; every change of
// that text (file, command, menu) goes through here.
void applyWarningRules();
