// The one table of metric tokens. The format compiler recognises what it
// lists, the frame runs the updaters it names (metrics/updaters.cpp says
// what each one is), and the About box shows its help lines. A new token
// is a row here plus the module that writes it; the module names its slot
// with metricSlot("XY").
#pragma once

// Texts copied into %NP, %NU and %NW when the format is compiled.
struct IdentityTexts {
    const char* ipAddress;  // may be empty
    const char* userName;
    const char* computerName;
};

// Who writes a token's segment after the compiler made it, each with the
// one system query it makes, in the order a full refresh runs them. An
// updater runs only while the format shows one of its tokens. ByCompiler:
// the text is final when compiled.
enum UpdaterId : unsigned char {
    ByCompiler,
    UpdateDisk,
    UpdateUptime,
    UpdateCpu,
    UpdateMemory,
    UpdatePower,
    UpdateProcesses,
    UpdateNetwork,
    UpdateDriveTemperature,
    UpdateClocks,
    UpdateHostMemory,
    UpdateGdi,
    UpdaterCount
};

enum class Place : unsigned char {
    Own,       // one segment, at the token's first occurrence
    PerDrive,  // one segment per drive letter; the code takes a letter A..Z
    Uptime,    // the uptime forms share one segment: only the first one shown
};

// What the number beside a token's text counts, for whatever shows it as
// a number (a meter, a graph, a warning colour). None: the token is text
// only, and no number is written.
enum class Unit : unsigned char {
    None,
    Percent,  // 0..100
    Celsius,
    KBPerSecond,
    Bytes,
    Kilobytes,
    Megabytes,
    Count,
    Seconds,
};

// The number a full meter of `unit` stands for: 100 for a percentage and
// for degrees (a drive's temperature); 0 where no top is fixed and the
// reader scales to the figures it has seen.
constexpr double fullScale(Unit unit) {
    return unit == Unit::Percent || unit == Unit::Celsius ? 100.0 : 0.0;
}

// The units a graph, a meter or a warning rule can show: a figure on a
// natural scale. Sizes, counts and times have no top worth drawing.
constexpr bool drawnToScale(Unit unit) {
    return unit == Unit::Percent || unit == Unit::Celsius || unit == Unit::KBPerSecond;
}

struct MetricToken {
    char code[3];  // after the '%'
    Place place;
    int size;                 // segment bytes, bounding what the updater writes (at least, for identities)
    const char* initialText;  // until the first reading; null: an identity text
    const char* IdentityTexts::*identity;
    UpdaterId updater;
    Unit unit;         // of the number the updater writes beside the text
    const char* help;  // the About box's line, after the code
};

// In the order the About box lists them.
inline constexpr MetricToken kMetricTokens[] = {
    {"CP", Place::Own, 10, "cpu", nullptr, UpdateCpu, Unit::Percent, "Percent of CPU usage"},
    {"CN", Place::Own, 10, "procnum", nullptr, UpdateProcesses, Unit::Count, "Number of Processes"},
    {"RP", Place::Own, 10, "phy", nullptr, UpdateMemory, Unit::Percent,
     "Percent of Physical Memory usage"},
    {"RT", Place::Own, 10, "phy", nullptr, UpdateMemory, Unit::Megabytes,
     "Total Physical Memory (MB)"},
    {"RF", Place::Own, 10, "phy", nullptr, UpdateMemory, Unit::Megabytes,
     "Free Physical Memory (MB)"},
    {"RU", Place::Own, 10, "phy", nullptr, UpdateMemory, Unit::Megabytes,
     "Used Physical Memory (MB)"},
    {"SP", Place::Own, 10, "swp", nullptr, UpdateMemory, Unit::Percent,
     "Percent of Swap Memory usage"},
    {"ST", Place::Own, 10, "swp", nullptr, UpdateMemory, Unit::Megabytes, "Total Swap Memory (MB)"},
    {"SF", Place::Own, 10, "swp", nullptr, UpdateMemory, Unit::Megabytes, "Free Swap Memory (MB)"},
    {"SU", Place::Own, 10, "swp", nullptr, UpdateMemory, Unit::Megabytes, "Used Swap Memory (MB)"},
    {"DT", Place::PerDrive, 16, "--", nullptr, UpdateDisk, Unit::Bytes, "Total Disk Space"},
    {"DF", Place::PerDrive, 16, "-", nullptr, UpdateDisk, Unit::Bytes, "Free Disk Space"},
    {"DU", Place::PerDrive, 16, "--", nullptr, UpdateDisk, Unit::Bytes, "Used Disk Space"},
    {"DP", Place::PerDrive, 16, "--", nullptr, UpdateDisk, Unit::Percent,
     "Percent of Free Disk Space"},
    {"DQ", Place::PerDrive, 16, "--", nullptr, UpdateDisk, Unit::Percent,
     "Percent of Used Disk Space"},
    {"BP", Place::Own, 16, "bat", nullptr, UpdatePower, Unit::Percent, "Percent of Battery usage"},
    {"BL", Place::Own, 16, "lifetime", nullptr, UpdatePower, Unit::Seconds, "Battery Lifetime"},
    {"ID", Place::Own, 16, "0KB", nullptr, UpdateNetwork, Unit::KBPerSecond,
     "Download speed (KB/sec)"},
    {"IU", Place::Own, 16, "0KB", nullptr, UpdateNetwork, Unit::KBPerSecond,
     "Upload speed (KB/sec)"},
    {"NP", Place::Own, 16, nullptr, &IdentityTexts::ipAddress, ByCompiler, Unit::None,
     "IP address"},
    {"NU", Place::Own, 0, nullptr, &IdentityTexts::userName, ByCompiler, Unit::None, "User name"},
    {"NW", Place::Own, 0, nullptr, &IdentityTexts::computerName, ByCompiler, Unit::None,
     "Workstation name"},
    {"UW", Place::Uptime, 25, "uptime", nullptr, UpdateUptime, Unit::Seconds,
     "Uptime (week:day:hour:min)"},
    {"UD", Place::Uptime, 25, "uptime", nullptr, UpdateUptime, Unit::Seconds,
     "Uptime (day:hour:min)"},
    {"UH", Place::Uptime, 25, "uptime", nullptr, UpdateUptime, Unit::Seconds, "Uptime (hour:min)"},
    {"H", Place::Own, 10, "hdtemp", nullptr, UpdateDriveTemperature, Unit::Celsius,
     "HD Temperature"},
    {"TL", Place::Own, 1024, "localtime", nullptr, UpdateClocks, Unit::None, "Local Time"},
    {"TU", Place::Own, 1024, "universaltime", nullptr, UpdateClocks, Unit::None, "Universal Time"},
    {"PM", Place::Own, 16, "procmem", nullptr, UpdateHostMemory, Unit::Kilobytes,
     "Physical Memory usage of BB (KB)"},
    {"PN", Place::Own, 16, "procmem", nullptr, UpdateHostMemory, Unit::Kilobytes,
     "Peak Physical Memory usage of BB (KB)"},
    {"PS", Place::Own, 16, "procmem", nullptr, UpdateHostMemory, Unit::Kilobytes,
     "Swap Memory usage of BB (KB)"},
    {"PT", Place::Own, 16, "procmem", nullptr, UpdateHostMemory, Unit::Kilobytes,
     "Peak Swap Memory usage of BB (KB)"},
    {"PG", Place::Own, 16, "procgdi", nullptr, UpdateGdi, Unit::Count, "GDI objects of BB"},
};

// A token's slot is its row in the table.
using MetricSlot = int;
constexpr int SlotCount = sizeof kMetricTokens / sizeof kMetricTokens[0];

// Not constexpr: a code missing from the table stops the build where a
// module names it.
int unknownMetricCode();

constexpr MetricSlot metricSlot(const char* code) {
    for (int i = 0; i < SlotCount; ++i) {
        const char* row = kMetricTokens[i].code;
        if (row[0] == code[0] && row[1] == code[1] && (row[1] == '\0' || code[2] == '\0')) {
            return i;
        }
    }
    return unknownMetricCode();
}
