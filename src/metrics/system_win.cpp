// The SystemSampler family: the Windows side of the CPU, memory, battery
// and process readings. The texts are made by the portable system.cpp.
#include <cstdlib>
#include <cstring>
#include <new>

#include "host/lookup_win.h"
#include "host/wintypes.h"
#include "metrics/system.h"

namespace {

unsigned majorVersion = 0;

typedef LONG(WINAPI* NtQuerySystemInformationFn)(ULONG, PVOID, ULONG, PULONG);
typedef BOOL(WINAPI* EnumProcessesFn)(DWORD*, DWORD, DWORD*);
typedef BOOL(WINAPI* GlobalMemoryStatusExFn)(MEMORYSTATUSEX*);

// NtQuerySystemInformation classes and their records, in their real
// layout: the basic record is 44 bytes in 32-bit code and 64 in 64-bit.
constexpr ULONG kSystemBasicInformation = 0;
constexpr ULONG kSystemPerformanceInformation = 2;
constexpr ULONG kSystemTimeOfDayInformation = 3;

struct BasicInformation {
    ULONG reserved;
    ULONG timerResolution;
    ULONG pageSize;
    ULONG numberOfPhysicalPages;
    ULONG lowestPhysicalPageNumber;
    ULONG highestPhysicalPageNumber;
    ULONG allocationGranularity;
    ULONG_PTR minimumUserModeAddress;
    ULONG_PTR maximumUserModeAddress;
    ULONG_PTR activeProcessorsAffinityMask;
    CCHAR numberOfProcessors;
};
static_assert(sizeof(void*) != 4 || sizeof(BasicInformation) == 44, "basic record layout");
static_assert(sizeof(void*) != 8 || sizeof(BasicInformation) == 64, "basic record layout");

struct TimeOfDayInformation {
    LONGLONG bootTime;
    LONGLONG currentTime;
    LONGLONG timeZoneBias;
    ULONG timeZoneId;
    ULONG reserved;
};
static_assert(sizeof(TimeOfDayInformation) == 32, "time-of-day record layout");

// The performance record starts with the idle time, the one value read;
// it grew from 312 bytes (XP) with each Windows version, and a length
// that is not enough, or on some versions not exactly the record's, is
// refused. So the buffer has room for every version's record, and a
// refused length is tried once more at the length the system asks for.
constexpr ULONG kPerformanceBufferSize = 1024;
static_assert(kPerformanceBufferSize >= 2 * 312, "room for the performance record to grow");

// The idle time of all processors, 100-ns units, or a failure status.
LONG queryIdleTime(NtQuerySystemInformationFn query, int64_t* idle) {
    alignas(8) unsigned char buffer[kPerformanceBufferSize];
    std::memset(buffer, 0, sizeof buffer);
    ULONG needed = 0;
    LONG status = query(kSystemPerformanceInformation, buffer, sizeof buffer, &needed);
    if (status == 0) {
        std::memcpy(idle, buffer, sizeof *idle);
        return 0;
    }
    const ULONG length =
        performanceRetryLength(static_cast<uint32_t>(status), needed, sizeof buffer);
    void* retry = length != 0 ? std::calloc(1, length) : nullptr;
    if (!retry) return status;
    status = query(kSystemPerformanceInformation, retry, length, nullptr);
    if (status == 0) std::memcpy(idle, retry, sizeof *idle);
    std::free(retry);
    return status;
}

NtQuerySystemInformationFn ntQuerySystemInformation = nullptr;
BasicInformation basicInformation;
GlobalMemoryStatusExFn globalMemoryStatusEx = nullptr;

bool enumerateProcesses(void* context, void* buffer, uint32_t bytes, uint32_t* bytesUsed) {
    EnumProcessesFn enumProcesses = *static_cast<EnumProcessesFn*>(context);
    DWORD needed = 0;
    if (!enumProcesses(static_cast<DWORD*>(buffer), bytes, &needed)) return false;
    *bytesUsed = needed;
    return true;
}

class SystemSampler {
public:
    SystemSampler();
    virtual ~SystemSampler();
    // 0 and the load written, 1 when the span was too short, or a failure
    // status.
    virtual int sample(int& cpuPercent, uint32_t shortestSpanMs) = 0;
    // The next sample is a first one.
    virtual void forget() {}

    MemoryCounts refreshMemory();
    PowerReading readPowerStatus();

private:
    MEMORYSTATUSEX memory_;
    SYSTEM_POWER_STATUS power_;
    HMODULE psapi_;
};

SystemSampler::SystemSampler() : psapi_(nullptr) {
    std::memset(&memory_, 0, sizeof memory_);
    std::memset(&power_, 0, sizeof power_);
    // Never read yet: an unknown lifetime leaves %BL as it is.
    power_.BatteryLifeTime = 0xFFFFFFFF;

    // Missing on Windows 95/98 and NT 4, which only know the 32-bit form.
    globalMemoryStatusEx =
        systemFunction<GlobalMemoryStatusExFn>(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx");

    // Before Windows 7 the process list and the shell's memory are
    // psapi's: kept loaded while the plugin runs.
    psapi_ = LoadLibraryA("psapi.dll");
}

SystemSampler::~SystemSampler() {
    if (psapi_) FreeLibrary(psapi_);
}

MemoryCounts SystemSampler::refreshMemory() {
    bool filled = false;
    if (globalMemoryStatusEx) {
        MEMORYSTATUSEX status;
        std::memset(&status, 0, sizeof status);
        status.dwLength = sizeof status;
        if (globalMemoryStatusEx(&status)) {
            memory_ = status;
            filled = true;
        }
    }
    if (!filled) {
        MEMORYSTATUS status;
        std::memset(&status, 0, sizeof status);
        status.dwLength = sizeof status;
        GlobalMemoryStatus(&status);
        memory_.dwMemoryLoad = status.dwMemoryLoad;
        memory_.ullTotalPhys = status.dwTotalPhys;
        memory_.ullAvailPhys = status.dwAvailPhys;
        memory_.ullTotalPageFile = status.dwTotalPageFile;
        memory_.ullAvailPageFile = status.dwAvailPageFile;
        memory_.ullTotalVirtual = status.dwTotalVirtual;
        memory_.ullAvailVirtual = status.dwAvailVirtual;
    }
    MemoryCounts counts;
    counts.totalPhysical = memory_.ullTotalPhys;
    counts.availablePhysical = memory_.ullAvailPhys;
    counts.totalPageFile = memory_.ullTotalPageFile;
    counts.availablePageFile = memory_.ullAvailPageFile;
    return counts;
}

PowerReading SystemSampler::readPowerStatus() {
    PowerReading power = {0, false, 0};
    if (GetSystemPowerStatus(&power_)) {
        power.acOnline = power_.ACLineStatus == 1;
        power.batteryPercent = power_.BatteryLifePercent;
    }
    // After a failed query, the lifetime as the record was last filled.
    power.lifeTime = power_.BatteryLifeTime;
    return power;
}

// Windows 9x family: the kernel keeps its own CPU-usage statistic under
// HKEY_DYN_DATA; reading the StartStat/StopStat values switches it on/off.
class RegistryStatsSampler : public SystemSampler {
public:
    RegistryStatsSampler() { touchStatistic("PerfStats\\StartStat"); }
    ~RegistryStatsSampler() override { touchStatistic("PerfStats\\StopStat"); }

    int sample(int& cpuPercent, uint32_t) override {
        HKEY key;
        LONG status = RegOpenKeyExA(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, &key);
        if (status != ERROR_SUCCESS) return status;
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        status = RegQueryValueExA(key, "KERNEL\\CPUUsage", nullptr, &type,
                                  reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        // An unreadable value is no reading, not 0 % load.
        if (status != ERROR_SUCCESS) return status;
        cpuPercent = static_cast<int>(value);
        return 0;
    }

private:
    static void touchStatistic(const char* path) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_DYN_DATA, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        DWORD value = 0;
        DWORD size = sizeof value;
        DWORD type = 0;
        RegQueryValueExA(key, "KERNEL\\CPUUsage", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size);
        RegCloseKey(key);
    }
};

// NT family: load from the change in summed idle time against wall time.
class NativeQuerySampler : public SystemSampler {
public:
    NativeQuerySampler() : baseline_{0, 0} {
        HMODULE ntdll = GetModuleHandleA("ntdll");
        ntQuerySystemInformation =
            systemFunction<NtQuerySystemInformationFn>(ntdll, "NtQuerySystemInformation");
        std::memset(&basicInformation, 0, sizeof basicInformation);
        if (ntQuerySystemInformation)
            ntQuerySystemInformation(kSystemBasicInformation, &basicInformation,
                                     sizeof basicInformation, nullptr);
    }

    int sample(int& cpuPercent, uint32_t shortestSpanMs) override {
        if (!ntQuerySystemInformation) return -1;
        TimeOfDayInformation timeOfDay;
        std::memset(&timeOfDay, 0, sizeof timeOfDay);
        LONG status = ntQuerySystemInformation(kSystemTimeOfDayInformation, &timeOfDay,
                                               sizeof timeOfDay, nullptr);
        if (status != 0) return status;
        int64_t idle = 0;
        status = queryIdleTime(ntQuerySystemInformation, &idle);
        if (status != 0) return status;

        const unsigned processors = static_cast<unsigned char>(basicInformation.numberOfProcessors);
        double load = 0.0;
        if (!advanceCpuLoad(&baseline_, idle, timeOfDay.currentTime, processors,
                            static_cast<int64_t>(shortestSpanMs) * 10000, &load))
            return 1;
        cpuPercent = roundLoad(load);
        return 0;
    }

    void forget() override { baseline_ = CpuBaseline{0, 0}; }

private:
    CpuBaseline baseline_;
};

SystemSampler* sampler = nullptr;
// Room for either variant: the sampler lives here, not on the heap.
alignas(16) unsigned char samplerStorage[sizeof(RegistryStatsSampler) > sizeof(NativeQuerySampler)
                                             ? sizeof(RegistryStatsSampler)
                                             : sizeof(NativeQuerySampler)];

}  // namespace

void probeOsVersion() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    platformId = info.dwPlatformId;
    majorVersion = info.dwMajorVersion;
}

void createSystemSampler() {
    destroySystemSampler();
    probeOsVersion();
    switch (chooseSampler(platformId, majorVersion, osClass)) {
        case RegistryStats:
            sampler = new (samplerStorage) RegistryStatsSampler();
            break;
        case NativeQuery:
            sampler = new (samplerStorage) NativeQuerySampler();
            break;
        case NoSampler:
            break;
    }
}

void destroySystemSampler() {
    if (sampler) sampler->~SystemSampler();
    sampler = nullptr;
}

bool hasSystemSampler() {
    return sampler != nullptr;
}

bool sampleCpuLoad(int* percent, uint32_t shortestSpanMs) {
    return sampler && sampler->sample(*percent, shortestSpanMs) == 0;
}

void forgetCpuSample() {
    if (sampler) sampler->forget();
}

bool readMemoryStatus(MemoryCounts* memory) {
    if (!sampler) return false;
    *memory = sampler->refreshMemory();
    return true;
}

bool readPowerStatus(PowerReading* power) {
    if (!sampler) return false;
    *power = sampler->readPowerStatus();
    return true;
}

// On the worker's thread, which may outlive the sampler (a query stuck
// past endPlugin): kernel32's own function from Windows 7 on, before it
// psapi's, held for the call. No process at all is a list not read.
bool readProcessCount(int* count) {
    auto enumerate =
        systemFunction<EnumProcessesFn>(GetModuleHandleA("kernel32.dll"), "K32EnumProcesses");
    HMODULE psapi = nullptr;
    if (!enumerate && GetModuleHandleExA(0, "psapi.dll", &psapi)) {
        enumerate = systemFunction<EnumProcessesFn>(psapi, "EnumProcesses");
    }
    *count = enumerate ? countProcessIds(enumerateProcesses, &enumerate) : 0;
    if (psapi) FreeLibrary(psapi);
    return *count > 0;
}
