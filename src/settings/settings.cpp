#include "settings/settings.h"
#include "format/text.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "format/warnings.h"
#include "host/bbapi.h"
#include "host/frame.h"
#include "settings/settings_os.h"

namespace {

enum class KeyType { Int, Byte, Bool, Color, Text };

// One row per key of Telvane.rc. The table order is both the read order
// and the save order.
struct SettingKey {
    const char* key;          // as read
    const char* writtenAs;    // as saved
    KeyType type;
    void* field;
    int size;                 // Text: buffer size
    int readDefault;          // Int, Byte, Bool
    int noFileValue;          // Int, Byte, Bool
    const char* textDefault;  // Color, Text: read default and no-file value
    bool emptyMeansDefault;   // Text: an empty value takes the default
    bool keptWithoutFile;     // not assigned when no file exists
    SettingRange range;       // Int, Byte: a value read is held to it
};

constexpr SettingRange kAnyNumber = {INT_MIN, INT_MAX};

constexpr SettingKey intKey(const char* key, int* field, int value,
                            SettingRange range = kAnyNumber, const char* writtenAs = nullptr) {
    return {key, writtenAs ? writtenAs : key, KeyType::Int, field, 0, value, value, nullptr,
            false, false, range};
}

// Stored in 8 bits, so every range given is within 0..255.
constexpr SettingKey byteKey(const char* key, uint8_t* field, int value, SettingRange range) {
    return {key, key, KeyType::Byte, field, 0, value, value, nullptr, false, false, range};
}

constexpr SettingKey boolKey(const char* key, bool* field, bool value,
                             const char* writtenAs = nullptr) {
    return {key, writtenAs ? writtenAs : key, KeyType::Bool, field, 0, value, value, nullptr,
            false, false, kAnyNumber};
}

// Docking is only taken from a file the user has; a first start floats.
constexpr SettingKey slitKey(const char* key, bool* field) {
    return {key, key, KeyType::Bool, field, 0, true, false, nullptr, false, false, kAnyNumber};
}

// The font colour keeps its current value when there is no file; others
// take their default.
constexpr SettingKey colorKey(const char* key, COLORREF* field, const char* value,
                              bool keptWithoutFile = true) {
    return {key, key, KeyType::Color, field, 0, 0, 0, value, false, keptWithoutFile, kAnyNumber};
}

enum EmptyText { EmptyAllowed, EmptyMeansDefault };

template <int N>
constexpr SettingKey textKey(const char* key, char (&field)[N], const char* value,
                             EmptyText empty) {
    return {key, key, KeyType::Text, field, N, 0, 0, value, empty == EmptyMeansDefault,
            false, kAnyNumber};
}

constexpr SettingKey kKeys[] = {
    intKey("telvane.x:", &settings.x, 10),
    intKey("telvane.y:", &settings.y, 10),
    intKey("telvane.width:", &settings.width, 180),
    intKey("telvane.height:", &settings.height, 30),
    intKey("telvane.fontHeight:", &settings.fontHeight, 12),
    intKey("telvane.alpha:", &settings.alpha, 160, kAlphaRange),
    intKey("telvane.autoResize:", &settings.autoResize, 0, kAutoResizeRange,
           "telvane.AutoResize:"),
    intKey("telvane.styleType:", &settings.styleType, 1),
    intKey("telvane.justification:", &settings.justification, 1, kJustificationRange),
    intKey("telvane.main_interval(sec):", &settings.mainInterval, 1, kIntervalRange),
    intKey("telvane.disk_interval(sec):", &settings.diskInterval, 10, kIntervalRange),
    intKey("telvane.uptime_interval(sec):", &settings.uptimeInterval, 60, kIntervalRange),
    intKey("telvane.hdtemp_interval(sec):", &settings.hdtempInterval, 10, kIntervalRange),
    intKey("telvane.interface:", &settings.networkInterface, kAutoInterface, kInterfaceRange),

    boolKey("telvane.alwaysontop:", &settings.alwaysOnTop, true),
    boolKey("telvane.transparency:", &settings.transparency, false),
    boolKey("telvane.snapwindow:", &settings.snapWindow, true, "telvane.snapWindow:"),
    boolKey("telvane.pluginToggle:", &settings.pluginToggle, false),
    // The stored choice, not the docked state: a start without a slit must
    // not turn it into "floating" for the next start with one.
    slitKey("telvane.inSlit:", &settings.slitChoice),
    boolKey("telvane.padPercentages:", &settings.padPercentages, true),
    boolKey("telvane.showBorder:", &settings.showBorder, true),
    boolKey("telvane.allowtooltip:", &settings.allowTooltip, false),
    boolKey("telvane.lockPos:", &settings.lockPos, false),
    boolKey("telvane.autoHide:", &settings.autoHide, false),
    boolKey("telvane.useRefFont:", &settings.useRefFont, true),
    boolKey("telvane.daylightSavingTime:", &settings.daylightSavingTime, false),

    colorKey("telvane.fontColor:", &settings.fontColor, "#000000"),

    textKey("telvane.fontFace:", settings.fontFace, "Tahoma", EmptyAllowed),
    textKey("telvane.strFormat:", settings.strFormat, kDefaultFormat, EmptyMeansDefault),
    textKey("telvane.localTimeFormat:", settings.localTimeFormat, kDefaultClockFormat,
            EmptyMeansDefault),
    textKey("telvane.universalTimeFormat:", settings.universalTimeFormat, kDefaultClockFormat,
            EmptyMeansDefault),
    textKey("telvane.timeZone:", settings.timeZone, kDefaultTimeZone, EmptyMeansDefault),
    textKey("telvane.localeString:", settings.localeString, "", EmptyAllowed),

    byteKey("telvane.PhysicalDriveNumber:", &settings.physicalDriveNumber, 0,
            kPhysicalDriveRange),
    byteKey("telvane.DriveNumber:", &settings.driveNumber, 0, kDriveNumberRange),
    byteKey("telvane.HDTempAttrID:", &settings.hdTempAttrId, 194, kAttributeIdRange),

    textKey("telvane.warnings:", settings.warnings, "", EmptyAllowed),
    colorKey("telvane.warningColor:", &settings.warningColor, kDefaultWarningColor, false),
    intKey("telvane.warningDelay:", &settings.warningDelay, 2, kWarningDelayRange),
};

constexpr const char* kFileNames[] = {"Telvane.rc", "Telvanerc"};

void readKey(const SettingKey& entry) {
    switch (entry.type) {
        case KeyType::Int:
            *static_cast<int*>(entry.field) =
                heldWithin(ReadInt(settingsPath, entry.key, entry.readDefault), entry.range);
            break;
        case KeyType::Byte:
            *static_cast<uint8_t*>(entry.field) = static_cast<uint8_t>(
                heldWithin(ReadInt(settingsPath, entry.key, entry.readDefault), entry.range));
            break;
        case KeyType::Bool:
            *static_cast<bool*>(entry.field) =
                ReadBool(settingsPath, entry.key, entry.readDefault != 0);
            break;
        case KeyType::Color:
            *static_cast<COLORREF*>(entry.field) =
                ReadColor(settingsPath, entry.key, entry.textDefault);
            break;
        case KeyType::Text: {
            char* text = static_cast<char*>(entry.field);
            const char* value = ReadString(settingsPath, entry.key, entry.textDefault);
            copySettingText(text, entry.size, value ? value : entry.textDefault);
            if (entry.emptyMeansDefault && text[0] == '\0') {
                copySettingText(text, entry.size, entry.textDefault);
            }
            break;
        }
    }
}

void assignNoFileValue(const SettingKey& entry) {
    if (entry.keptWithoutFile) {
        return;
    }
    switch (entry.type) {
        case KeyType::Int:
            *static_cast<int*>(entry.field) = entry.noFileValue;
            break;
        case KeyType::Byte:
            *static_cast<uint8_t*>(entry.field) = static_cast<uint8_t>(entry.noFileValue);
            break;
        case KeyType::Bool:
            *static_cast<bool*>(entry.field) = entry.noFileValue != 0;
            break;
        case KeyType::Color: {
            const size_t length = std::strlen(entry.textDefault);
            parseHexColour(entry.textDefault, length, static_cast<COLORREF*>(entry.field));
            break;
        }
        case KeyType::Text:
            copySettingText(static_cast<char*>(entry.field), entry.size, entry.textDefault);
            break;
    }
}

void writeKey(const SettingKey& entry) {
    switch (entry.type) {
        case KeyType::Int:
            WriteInt(settingsPath, entry.writtenAs, *static_cast<const int*>(entry.field));
            break;
        case KeyType::Byte:
            WriteInt(settingsPath, entry.writtenAs, *static_cast<const uint8_t*>(entry.field));
            break;
        case KeyType::Bool:
            WriteBool(settingsPath, entry.writtenAs, *static_cast<const bool*>(entry.field));
            break;
        case KeyType::Color:
            WriteColor(settingsPath, entry.writtenAs, *static_cast<const COLORREF*>(entry.field));
            break;
        case KeyType::Text:
            WriteString(settingsPath, entry.writtenAs, static_cast<const char*>(entry.field));
            break;
    }
}

// Cuts a module's path after its last backslash, leaving its folder with
// the backslash; false (and an empty text) when the path has none.
bool cutToFolder(char* path) {
    path[kPathSize - 1] = '\0';
    for (int i = static_cast<int>(std::strlen(path)) - 1; i >= 1; --i) {
        if (path[i] == '\\') {
            path[i + 1] = '\0';
            return true;
        }
    }
    path[0] = '\0';
    return false;
}

// The plugin's own folder with its trailing backslash; a bare file name
// means the current folder.
void pluginDirectory(char* directory) {
    pluginModulePath(frame.instance, directory, kPathSize);
    cutToFolder(directory);
}

// The shell's folder is the folder of its program file, whatever the shell
// calls its own path function or how it exports it.
bool hostDirectory(char* directory) {
    hostModulePath(directory, kPathSize);
    return cutToFolder(directory);
}

void joinPath(char* path, const char* directory, const char* name) {
    formatText(path, kPathSize, "%s%s", directory, name);
}

// The dotted name first, then the undotted one.
bool findIn(const char* directory, char* path) {
    for (const char* name : kFileNames) {
        joinPath(path, directory, name);
        if (FileExists(path)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool loadSettings() {
    char directory[kPathSize];
    pluginDirectory(directory);
    char found[kPathSize];
    bool exists = findIn(directory, found);
    char shellDirectory[kPathSize];
    if (!exists && hostDirectory(shellDirectory)) {
        exists = findIn(shellDirectory, found);
    }

    if (!exists) {
        joinPath(settingsPath, directory, kFileNames[0]);
        for (const SettingKey& entry : kKeys) {
            assignNoFileValue(entry);
        }
        // Named as the README promises: the shell's writer would give a
        // file it creates a lower-case name.
        createSettingsFile(settingsPath);
        saveSettings();
        applyWarningRules();
        return false;
    }

    copySettingText(settingsPath, kPathSize, found);
    for (const SettingKey& entry : kKeys) {
        readKey(entry);
    }
    // A window saved on a screen that is gone would be out of reach.
    VirtualScreenSize screen = virtualScreenSize();
    if (settings.x >= screen.width) {
        settings.x = 10;
    }
    if (settings.y >= screen.height) {
        settings.y = 10;
    }
    // Nor can a window be larger than the screens: each paint buffers all of it.
    settings.width = windowSizeWithin(settings.width, screen.width);
    settings.height = windowSizeWithin(settings.height, screen.height);
    settings.fontHeight = fontHeightWithin(settings.fontHeight);
    // No previous style to keep at a start: an unknown one paints nothing.
    if (!isStyleIndex(settings.styleType)) {
        settings.styleType = STYLE_TOOLBAR;
    }
    applyWarningRules();
    return true;
}

void applyWarningRules() {
    setWarningRules(settings.warnings);
}

void saveSettings() {
    // Never loaded: there is no file to write to.
    if (settingsPath[0] == '\0') {
        return;
    }
    for (const SettingKey& entry : kKeys) {
        writeKey(entry);
    }
}
