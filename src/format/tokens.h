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

struct MetricToken {
    char code[3];  // after the '%'
    Place place;
    int size;                 // segment bytes, bounding what the updater writes (at least, for identities)
    const char* initialText;  // until the first reading; null: an identity text
    const char* IdentityTexts::*identity;
    UpdaterId updater;
    const char* help;  // the About box's line, after the code
};

// In the order the About box lists them.
inline constexpr MetricToken kMetricTokens[] = {
    {"CP", Place::Own, 10, "cpu", nullptr, UpdateCpu, "Percent of CPU usage"},
    {"CN", Place::Own, 10, "procnum", nullptr, UpdateProcesses, "Number of Processes"},
    {"RP", Place::Own, 10, "phy", nullptr, UpdateMemory, "Percent of Physical Memory usage"},
    {"RT", Place::Own, 10, "phy", nullptr, UpdateMemory, "Total Physical Memory (MB)"},
    {"RF", Place::Own, 10, "phy", nullptr, UpdateMemory, "Free Physical Memory (MB)"},
    {"RU", Place::Own, 10, "phy", nullptr, UpdateMemory, "Used Physical Memory (MB)"},
    {"SP", Place::Own, 10, "swp", nullptr, UpdateMemory, "Percent of Swap Memory usage"},
    {"ST", Place::Own, 10, "swp", nullptr, UpdateMemory, "Total Swap Memory (MB)"},
    {"SF", Place::Own, 10, "swp", nullptr, UpdateMemory, "Free Swap Memory (MB)"},
    {"SU", Place::Own, 10, "swp", nullptr, UpdateMemory, "Used Swap Memory (MB)"},
    {"DT", Place::PerDrive, 16, "--", nullptr, UpdateDisk, "Total Disk Space"},
    {"DF", Place::PerDrive, 16, "-", nullptr, UpdateDisk, "Free Disk Space"},
    {"DU", Place::PerDrive, 16, "--", nullptr, UpdateDisk, "Used Disk Space"},
    {"DP", Place::PerDrive, 16, "--", nullptr, UpdateDisk, "Percent of Free Disk Space"},
    {"DQ", Place::PerDrive, 16, "--", nullptr, UpdateDisk, "Percent of Used Disk Space"},
    {"BP", Place::Own, 16, "bat", nullptr, UpdatePower, "Percent of Battery usage"},
    {"BL", Place::Own, 16, "lifetime", nullptr, UpdatePower, "Battery Lifetime"},
    {"ID", Place::Own, 16, "0KB", nullptr, UpdateNetwork, "Download speed (KB/sec)"},
    {"IU", Place::Own, 16, "0KB", nullptr, UpdateNetwork, "Upload speed (KB/sec)"},
    {"NP", Place::Own, 16, nullptr, &IdentityTexts::ipAddress, ByCompiler, "IP address"},
    {"NU", Place::Own, 0, nullptr, &IdentityTexts::userName, ByCompiler, "User name"},
    {"NW", Place::Own, 0, nullptr, &IdentityTexts::computerName, ByCompiler, "Workstation name"},
    {"UW", Place::Uptime, 25, "uptime", nullptr, UpdateUptime, "Uptime (week:day:hour:min)"},
    {"UD", Place::Uptime, 25, "uptime", nullptr, UpdateUptime, "Uptime (day:hour:min)"},
    {"UH", Place::Uptime, 25, "uptime", nullptr, UpdateUptime, "Uptime (hour:min)"},
    {"H", Place::Own, 10, "hdtemp", nullptr, UpdateDriveTemperature, "HD Temperature"},
    {"TL", Place::Own, 1024, "localtime", nullptr, UpdateClocks, "Local Time"},
    {"TU", Place::Own, 1024, "universaltime", nullptr, UpdateClocks, "Universal Time"},
    {"PM", Place::Own, 16, "procmem", nullptr, UpdateHostMemory, "Physical Memory usage of BB (KB)"},
    {"PN", Place::Own, 16, "procmem", nullptr, UpdateHostMemory,
     "Peak Physical Memory usage of BB (KB)"},
    {"PS", Place::Own, 16, "procmem", nullptr, UpdateHostMemory, "Swap Memory usage of BB (KB)"},
    {"PT", Place::Own, 16, "procmem", nullptr, UpdateHostMemory,
     "Peak Swap Memory usage of BB (KB)"},
    {"PG", Place::Own, 16, "procgdi", nullptr, UpdateGdi, "GDI objects of BB"},
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
