// The `bench` command: what a plugin's once-a-second tick, one paint and a
// format change cost, each beside its floor, the bare system calls the
// work cannot avoid, made the same way in a loop of our own. Runs are
// interleaved (one of the plugin's, one of the floor's), so load from
// elsewhere on the machine falls on both alike.
//
// The floors mirror what Telvane calls (src/metrics/*_win.cpp,
// src/smart/smart_win.cpp): its main timer id, the message its worker
// posts, sampler records and the format below are Telvane's. A tick that
// hands a query to the worker is timed with the window applying its
// answer; the wait for the worker between the two is not timed. The bare
// paint repeats the plugin's last paint as recorded: the same gradient
// through our MakeStyleGradient, the same font and colour, one DrawTextA
// of the same text, the copy. For a line of graphs and meters the floor
// is that bare paint of its text.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

#include "shell.h"

namespace {

constexpr int kDefaultRuns = 2000;
constexpr int kWarmUpRuns = 50;
constexpr WPARAM kMainTimer = 4500;
constexpr UINT kAnswersMessage = 0x8001;  // WM_APP + 1: the worker's answers wait
constexpr DWORD kLongestAnswerMs = 5000;

// Every token, with the drive letter C and one drive that does not exist.
constexpr const char* kEveryToken =
    "CP=%CP|CN=%CN|RP=%RP|RT=%RT|RF=%RF|RU=%RU|SP=%SP|ST=%ST|SF=%SF|SU=%SU|BP=%BP|BL=%BL|"
    "DTC=%DTC|DFC=%DFC|DUC=%DUC|DPC=%DPC|DQC=%DQC|DFQ=%DFQ|ID=%ID|IU=%IU|NP=%NP|NU=%NU|NW=%NW|"
    "UW=%UW|H=%H|TL=%TL|TU=%TU|PM=%PM|PN=%PN|PS=%PS|PT=%PT|PG=%PG";
constexpr const char* kClockFormat = "%H:%M:%S";  // the plugin's default for both clocks

// Each tick's own floor: the system queries its format needs (a bit per
// part of Floor::tick, below).
enum TickPart : unsigned {
    PartSampler = 1,
    PartMemory = 2,
    PartPower = 4,
    PartProcesses = 8,
    PartInterfaceRow = 16,
    PartClocks = 32,
    PartHostProcess = 64,
    EveryPart = 127,
    // What the every-token tick asks on the shell's thread: the process
    // list goes to the plugin's worker.
    ShellThreadParts = EveryPart & ~PartProcesses,
};

struct TickFormat {
    const char* name;
    const char* format;
    unsigned parts;
};
const TickFormat kTickFormats[] = {
    {"tick-default", "CPU:%CP RAM:%RP C:%DFC Free", PartSampler | PartMemory},
    {"tick-cpu", "%CP", PartSampler}};

// Graphs, a meter and warning colours, with two rules in force (they hold
// at any reading), after enough ticks to fill the graphs.
constexpr const char* kGraphsFormat = "CPU %CP %GCP %MRP %GID";
constexpr const char* kGraphsRules = "CP>=0 RP>=0=#E0A000";
constexpr int kGraphTicks = 40;

double microsecondsPerTick = 0.0;

LONGLONG counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

template <typename Fn>
double timed(Fn&& body) {
    const LONGLONG start = counterNow();
    body();
    return static_cast<double>(counterNow() - start) * microsecondsPerTick;
}

struct Figures {
    double median;
    double p99;
};

Figures summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    const double median =
        n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
    size_t rank = (n * 99 + 99) / 100;  // nearest rank
    return {median, samples[std::min(rank, n) - 1]};
}

// `own`, where given, is the floor of the tick's own format.
void report(const char* name, const std::vector<double>& work, const std::vector<double>& floor,
            const std::vector<double>* own) {
    const Figures w = summarise(work);
    const Figures f = summarise(floor);
    char line[384];
    int length = std::snprintf(
        line, sizeof line,
        "%-12s median %9.1f us  p99 %9.1f us | floor median %9.1f us  p99 %9.1f us | "
        "ratio %.2f (p99 %.2f)",
        name, w.median, w.p99, f.median, f.p99, w.median / f.median, w.p99 / f.p99);
    if (own != nullptr && length > 0 && static_cast<size_t>(length) < sizeof line) {
        const Figures o = summarise(*own);
        std::snprintf(line + length, sizeof line - length,
                      " | own floor median %9.1f us  p99 %9.1f us | ratio %.2f (p99 %.2f)",
                      o.median, o.p99, w.median / o.median, w.p99 / o.p99);
    }
    shell::say("bench", line);
}

// ---- the floors ----

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
using EnumProcessesFn = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);

template <typename Fn>
Fn procAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct Floor {
    NtQuerySystemInformationFn ntQuery = nullptr;
    EnumProcessesFn enumProcesses = nullptr;
    std::vector<BYTE> interfaceTable;
    DWORD processIds[1024];  // the plugin's first (and usual) buffer
    HWND window = nullptr;
    // The plugin's one row: the interface of the default route (Auto),
    // by its LUID where the system has GetIfEntry2.
    using GetIfEntry2Fn = DWORD(WINAPI*)(MIB_IF_ROW2*);
    GetIfEntry2Fn getIfEntry2 = nullptr;
    DWORD rowIndex = 0;
    NET_LUID rowLuid{};
    HANDLE wakeEvent = nullptr;  // as the plugin's worker waits on it

    bool prepare(HWND pluginWindow) {
        window = pluginWindow;
        ntQuery = procAddress<NtQuerySystemInformationFn>(GetModuleHandleA("ntdll"),
                                                          "NtQuerySystemInformation");
        HMODULE psapi = LoadLibraryA("psapi.dll");
        enumProcesses = psapi ? procAddress<EnumProcessesFn>(psapi, "EnumProcesses") : nullptr;
        ULONG needed = 0;
        if (GetIfTable(nullptr, &needed, FALSE) == ERROR_INSUFFICIENT_BUFFER) {
            interfaceTable.resize(needed);
        }
        WSADATA data;
        WSAStartup(MAKEWORD(1, 1), &data);
        getIfEntry2 = procAddress<GetIfEntry2Fn>(GetModuleHandleA("iphlpapi.dll"), "GetIfEntry2");
        const unsigned char outside[4] = {192, 0, 2, 1};
        IPAddr address;
        std::memcpy(&address, outside, sizeof address);
        GetBestInterface(address, &rowIndex);
        if (getIfEntry2) {
            MIB_IF_ROW2 row{};
            row.InterfaceIndex = rowIndex;
            getIfEntry2(&row);
            rowLuid = row.InterfaceLuid;
        }
        if (!wakeEvent) {
            wakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        }
        return ntQuery && enumProcesses && wakeEvent;
    }

    // updateSystemMetrics, updateNetwork, updateClocks and
    // updateHostProcessStats without their texts, and the invalidation
    // that has the window repainted; in parts, to see where time goes.
    void sampler() {
        BYTE timeOfDay[32];
        BYTE performance[312];
        ntQuery(3, timeOfDay, sizeof timeOfDay, nullptr);
        ntQuery(2, performance, sizeof performance, nullptr);
    }
    void memory() {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof status;
        GlobalMemoryStatusEx(&status);
    }
    void power() {
        SYSTEM_POWER_STATUS status;
        GetSystemPowerStatus(&status);
    }
    void processes() {
        DWORD used = 0;
        enumProcesses(processIds, sizeof processIds, &used);
    }
    void interfaces() {
        if (!interfaceTable.empty()) {
            ULONG size = static_cast<ULONG>(interfaceTable.size());
            GetIfTable(reinterpret_cast<MIB_IFTABLE*>(interfaceTable.data()), &size, FALSE);
        }
        GetTickCount();
    }
    void interfaceRow() {
        if (getIfEntry2) {
            MIB_IF_ROW2 row;
            std::memset(&row, 0, sizeof row);
            row.InterfaceIndex = rowIndex;
            row.InterfaceLuid = rowLuid;
            getIfEntry2(&row);
        } else {
            MIB_IFROW row;
            std::memset(&row, 0, sizeof row);
            row.dwIndex = rowIndex;
            GetIfEntry(&row);
        }
        GetTickCount();
    }
    // Waking the plugin's worker for a query: its event set (here no one
    // waits on it).
    void wake() { SetEvent(wakeEvent); }
    void clocks() {
        char text[64];
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        const std::time_t seconds = std::time(nullptr);
        if (const std::tm* local = std::localtime(&seconds)) {
            std::strftime(text, sizeof text, kClockFormat, local);
        }
        SYSTEMTIME zone;
        FileTimeToSystemTime(&now, &zone);
        std::tm record{};
        record.tm_hour = zone.wHour;
        record.tm_min = zone.wMinute;
        record.tm_sec = zone.wSecond;
        record.tm_mday = zone.wDay;
        record.tm_mon = zone.wMonth - 1;
        record.tm_year = zone.wYear - 1900;
        std::strftime(text, sizeof text, kClockFormat, &record);
    }
    void hostProcess() {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    }
    void tick(BOOL erase) {
        sampler();
        memory();
        power();
        processes();
        interfaces();
        clocks();
        hostProcess();
        InvalidateRect(window, nullptr, erase);
    }
    // What a format needs, as the plugin asks for it: one row, not the table.
    void ownTick(unsigned parts) {
        if (parts & PartSampler) sampler();
        if (parts & PartMemory) memory();
        if (parts & PartPower) power();
        if (parts & PartProcesses) processes();
        if (parts & PartInterfaceRow) interfaceRow();
        if (parts & PartClocks) clocks();
        if (parts & PartHostProcess) hostProcess();
    }

    // What a full refresh adds: the identity texts and the slower
    // updaters (disk, uptime, drive temperature) for the format above.
    void refresh() {
        char text[1024];
        DWORD size = sizeof text;
        GetComputerNameA(text, &size);
        size = sizeof text;
        GetUserNameA(text, &size);
        if (gethostname(text, 255) == 0) {
            if (const hostent* host = gethostbyname(text)) {
                if (host->h_addr_list && host->h_addr_list[0]) {
                    in_addr address;
                    std::memcpy(&address, host->h_addr_list[0], sizeof address);
                    inet_ntoa(address);
                }
            }
        }

        const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
        ULARGE_INTEGER a, b, c;
        GetDiskFreeSpaceExA("C:\\", &a, nullptr, nullptr);  // %DFC
        GetDiskFreeSpaceExA("C:\\", nullptr, &b, nullptr);  // %DTC
        GetDiskFreeSpaceExA("C:\\", nullptr, &b, &c);       // %DUC
        GetDiskFreeSpaceExA("C:\\", &a, &b, nullptr);       // %DPC
        GetDiskFreeSpaceExA("C:\\", nullptr, &b, &c);       // %DQC
        GetDiskFreeSpaceExA("Q:\\", &a, nullptr, nullptr);  // %DFQ
        SetErrorMode(mode);

        GetTickCount();
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        QueryPerformanceFrequency(&counter);

        HANDLE drive = CreateFileA("\\\\.\\PhysicalDrive0", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
        if (drive != INVALID_HANDLE_VALUE) {
            // Looked up at run time, as the plugin does.
            typedef BOOL(WINAPI * PowerStateFn)(HANDLE, BOOL*);
            FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDevicePowerState");
            PowerStateFn powerState;
            std::memcpy(&powerState, &address, sizeof powerState);
            BOOL on = TRUE;
            if (powerState) powerState(drive, &on);
            BYTE version[24];
            DWORD returned = 0;
            if (!DeviceIoControl(drive, 0x00074080 /* SMART_GET_VERSION */, nullptr, 0, version,
                                 sizeof version, &returned, nullptr)) {
                // No ATA answer: the temperature property, then the NVMe health log.
                DWORD query[3] = {52 /* StorageDeviceTemperatureProperty */, 0, 0};
                BYTE answer[280];
                DeviceIoControl(drive, 0x002D1400 /* IOCTL_STORAGE_QUERY_PROPERTY */, query,
                                sizeof query, answer, sizeof answer, &returned, nullptr);
                BYTE health[560] = {};
                health[0] = 50;  // StorageDeviceProtocolSpecificProperty
                DeviceIoControl(drive, 0x002D1400, health, sizeof health, health, sizeof health,
                                &returned, nullptr);
            }
            CloseHandle(drive);
        }
        tick(TRUE);
    }
};

Floor floorCalls;

// ---- the bare paint ----

WNDPROC pluginProc = nullptr;
// What the bare paint draws: the plugin's recorded paint, or a copy with
// another text.
const shell::PaintRecord* bareRecord = nullptr;

void barePaint(HWND window) {
    const shell::PaintRecord& drawn = bareRecord ? *bareRecord : shell::recordedPaint();
    StyleItem style = shell::recordedGradient().style;
    PAINTSTRUCT paint;
    HDC windowDc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HDC memoryDc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, bitmap);
    RECT gradient = client;
    MakeStyleGradient(memoryDc, &gradient, &style, shell::recordedGradient().withBorder);
    HFONT font = CreateFontIndirectA(&drawn.font);
    HGDIOBJ oldFont = SelectObject(memoryDc, font);
    SetTextColor(memoryDc, drawn.color);
    SetBkMode(memoryDc, drawn.backgroundMode);
    RECT textRect = drawn.rect;
    DrawTextA(memoryDc, drawn.text.c_str(), static_cast<int>(drawn.text.size()), &textRect,
              drawn.format);
    BitBlt(windowDc, 0, 0, client.right, client.bottom, memoryDc, 0, 0, SRCCOPY);
    SelectObject(memoryDc, oldFont);
    DeleteObject(font);
    SelectObject(memoryDc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    EndPaint(window, &paint);
}

LRESULT CALLBACK barePaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        barePaint(window);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    return CallWindowProcA(pluginProc, window, message, wParam, lParam);
}

// The plugin window with the bare paint in place of the plugin's.
struct BarePainter {
    HWND window;
    explicit BarePainter(HWND w) : window(w) {
        pluginProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(barePaintProc)));
    }
    ~BarePainter() {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pluginProc));
    }
};

void repaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// The next message of the plugin's worker, taken off the queue unhandled;
// false when none came within `ms`.
bool nextAnswer(HWND window, DWORD ms, MSG* message) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (PeekMessageA(message, window, kAnswersMessage, kAnswersMessage, PM_REMOVE)) {
            return true;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= ms) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - waited, QS_POSTMESSAGE);
    }
}

// Applies the answers to what was asked before (a format change asks for
// the disks, the address, the temperature and the count), until none has
// come for a while, so a timed run finds the worker idle.
void settleAnswers(HWND window) {
    MSG message;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 10000 && nextAnswer(window, 300, &message)) {
        DispatchMessageA(&message);
    }
}

std::string formatCommand(int run) {
    // Alternate two formats so every broadcast is a real change.
    return std::string("@TelvaneStrFormat ") + (run % 2 ? "|" : "") + kEveryToken;
}

}  // namespace

namespace shell {

void runBenchmark(const std::string& arguments) {
    int runs = kDefaultRuns;
    if (!arguments.empty()) {
        char* end = nullptr;
        long n = std::strtol(arguments.c_str(), &end, 10);
        if (end == arguments.c_str() || *end != '\0' || n < 1 || n > 1000000) {
            say("bench", "error: usage: bench [RUNS]");
            fail(2);
            return;
        }
        runs = static_cast<int>(n);
    }
    HWND window = pluginWindow();
    if (!window) {
        say("bench", "error: the plugin has no window");
        fail(2);
        return;
    }
    if (!floorCalls.prepare(window)) {
        say("bench", "error: the system queries are not available");
        fail(2);
        return;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    microsecondsPerTick = 1e6 / static_cast<double>(frequency.QuadPart);

    broadcast(formatCommand(0));
    SendMessageA(window, WM_TIMER, kMainTimer, 0);
    recordPaints(true);
    repaintNow(window);
    recordPaints(false);
    if (!recordedPaint().valid || !recordedGradient().valid) {
        say("bench", "error: the plugin's paint was not seen");
        fail(2);
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    char line[160];
    std::snprintf(line, sizeof line, "%d runs each; window %ldx%ld, text of %zu chars, QPC %lld Hz",
                  runs, client.right, client.bottom, recordedPaint().text.size(),
                  static_cast<long long>(frequency.QuadPart));
    say("bench", line);

    HMODULE plugin = pluginModule();
    unhookPluginImports(plugin);

    std::vector<double> work;
    std::vector<double> bare;
    work.reserve(static_cast<size_t>(runs));
    bare.reserve(static_cast<size_t>(runs));
    std::vector<double> own;
    own.reserve(static_cast<size_t>(runs));
    using Run = std::function<double(int)>;
    // One run of each per round, taking turns at going first, so none
    // pays more often for what another left behind (a surface to flush).
    auto measure = [&](const char* name, const Run& pluginRun, const Run& floorRun,
                       const Run* ownRun = nullptr) {
        work.clear();
        bare.clear();
        own.clear();
        const Run* order[3] = {&pluginRun, &floorRun, ownRun};
        std::vector<double>* into[3] = {&work, &bare, &own};
        const int kinds = ownRun != nullptr ? 3 : 2;
        for (int run = 0; run < runs + kWarmUpRuns; ++run) {
            for (int turn = 0; turn < kinds; ++turn) {
                const int kind = (run + turn) % kinds;
                const double took = (*order[kind])(run);
                if (run >= kWarmUpRuns) {
                    into[kind]->push_back(took);
                }
            }
        }
        report(name, work, bare, ownRun != nullptr ? &own : nullptr);
    };

    // A tick that asks the worker is timed with the window applying the
    // answer, as the shell's thread does it. The plugin wakes its worker
    // after the paint that shows the tick: that paint (the paint row's)
    // and the wait for the worker are not timed. A missing answer is
    // reported.
    bool answered = false;
    int missing = 0;
    auto pluginTick = [&](int) {
        ValidateRect(window, nullptr);
        double took = timed([&] { SendMessageA(window, WM_TIMER, kMainTimer, 0); });
        MSG message;
        if (!answered) {
            return took;
        }
        UpdateWindow(window);
        if (nextAnswer(window, kLongestAnswerMs, &message)) {
            took += timed([&] { DispatchMessageA(&message); });
        } else {
            ++missing;
        }
        return took;
    };
    auto floorTick = [&](int) {
        ValidateRect(window, nullptr);
        return timed([&] { floorCalls.tick(FALSE); });
    };
    auto ownFloor = [&](unsigned parts) {
        return Run([&, parts](int) {
            ValidateRect(window, nullptr);
            return timed([&] { floorCalls.ownTick(parts); });
        });
    };
    const Run everyPart = ownFloor(ShellThreadParts);
    settleAnswers(window);
    answered = true;
    measure("tick", pluginTick, floorTick, &everyPart);
    answered = false;
    if (missing > 0) {
        std::snprintf(line, sizeof line, "error: %d ticks got no answer from the worker", missing);
        say("bench", line);
    }
    // Smaller formats against the same floor and their own: a tick pays
    // only for what the window shows.
    for (const TickFormat& tick : kTickFormats) {
        broadcast(std::string("@TelvaneStrFormat ") + tick.format);
        settleAnswers(window);
        const Run parts = ownFloor(tick.parts);
        measure(tick.name, pluginTick, floorTick, &parts);
    }
    broadcast(formatCommand(0));
    SendMessageA(window, WM_TIMER, kMainTimer, 0);
    settleAnswers(window);
    ValidateRect(window, nullptr);

    measure(
        "paint", [&](int) { return timed([&] { repaintNow(window); }); },
        [&](int) {
            BarePainter painter(window);
            return timed([&] { repaintNow(window); });
        });

    // The same window with graphs, a meter and warning colours, beside
    // a bare paint of the same text in the plain paint's place and flags.
    shell::PaintRecord graphsFloor = recordedPaint();
    broadcast("@TelvaneWarningDelay 0");
    broadcast(std::string("@TelvaneWarnings ") + kGraphsRules);
    broadcast(std::string("@TelvaneStrFormat ") + kGraphsFormat);
    for (int tick = 0; tick < kGraphTicks; ++tick) {
        SendMessageA(window, WM_TIMER, kMainTimer, 0);
    }
    settleAnswers(window);
    hookPluginImports(plugin);
    recordPaints(true);
    repaintNow(window);
    recordPaints(false);
    unhookPluginImports(plugin);
    graphsFloor.text = recordedPaint().text;
    measure(
        "paint-graphs", [&](int) { return timed([&] { repaintNow(window); }); },
        [&](int) {
            BarePainter painter(window);
            bareRecord = &graphsFloor;
            const double time = timed([&] { repaintNow(window); });
            bareRecord = nullptr;
            return time;
        });
    broadcast("@TelvaneWarnings");
    broadcast("@TelvaneWarningDelay 2");
    broadcast(formatCommand(0));
    SendMessageA(window, WM_TIMER, kMainTimer, 0);
    settleAnswers(window);
    ValidateRect(window, nullptr);

    measure(
        "format",
        [&](int run) {
            const std::string command = formatCommand(run + 1);
            return timed([&] {
                broadcast(command);
                UpdateWindow(window);
            });
        },
        [&](int) {
            BarePainter painter(window);
            return timed([&] {
                floorCalls.refresh();
                UpdateWindow(window);
            });
        });

    // Where the tick's floor goes.
    struct Part {
        const char* name;
        void (Floor::*call)();
    };
    const Part parts[] = {{"sampler", &Floor::sampler},     {"memory", &Floor::memory},
                          {"power", &Floor::power},         {"processes", &Floor::processes},
                          {"interfaces", &Floor::interfaces}, {"clocks", &Floor::clocks},
                          {"process", &Floor::hostProcess},
                          {"interface-row", &Floor::interfaceRow}, {"wake", &Floor::wake}};
    std::string split = "tick floor, medians:";
    for (const Part& part : parts) {
        work.clear();
        for (int run = 0; run < std::min(runs, 500); ++run) {
            work.push_back(timed([&] { (floorCalls.*part.call)(); }));
        }
        std::snprintf(line, sizeof line, " %s %.1f us", part.name, summarise(work).median);
        split += line;
    }
    say("bench", split);

    settleAnswers(window);
    hookPluginImports(plugin);
    // Back to the plugin's own text after the alternating formats.
    broadcast(formatCommand(0));
}

}  // namespace shell
