// Stress commands: a stream of random and malformed broadcasts, and the
// process's resource figures, so a long run shows whether anything grows.
#include <winsock2.h>

#include <cctype>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <float.h>
#include <xmmintrin.h>

#include "shell.h"

#include <psapi.h>
#include <tlhelp32.h>

namespace {

// The plugin's command keywords, as any program might send them.
// "HDTempLog" is left out: it writes to C:\, outside the run folder.
const char* const kKeywords[] = {
    "About",          "StrFormat",      "LocalTimeFormat", "SetLocale",      "UniversalTimeFormat",
    "TimeZone",       "StyleType",      "JustifyType",     "ResizeType",     "WidthSize",
    "HeightSize",     "FontSize",       "FontFace",        "FontColor",      "SetFont",
    "UseRefFont",     "PadPercentages", "PluginToggle",    "OnTop",          "InSlit",
    "Transparent",    "AlphaValue",     "SnapToEdge",      "ShowBorder",     "AllowTip",
    "LockPosition",   "AutoHide",       "DaylightSavingTime", "Interface",   "EditRC",
    "ReloadSettings", "SaveSettings",   "PhyDrvNo",        "DriveNo",        "TempAttrID",
    "MainInterval",   "DiskInterval",   "UptimeInterval",  "HDTempInterval",
};
constexpr int kKeywordCount = sizeof kKeywords / sizeof kKeywords[0];

// Keywords that open a modal dialog: rare, as each one waits for its answer.
bool opensDialog(const std::string& keyword) {
    return _stricmp(keyword.c_str(), "About") == 0 || _stricmp(keyword.c_str(), "FontColor") == 0 ||
           _stricmp(keyword.c_str(), "SetFont") == 0;
}

const char* const kNumbers[] = {
    "0",          "1",          "-1",          "255",         "256",
    "-2147483648", "2147483647", "2147483648", "-2147483649", "4294967295",
    "4294967296", "18446744073709551615", "18446744073709551616",
    "99999999999999999999999999999999", "-99999999999999999999999999999999",
    "1e9",        "1e999",      "0x10",        "0x7fffffff",  "010",
    "+5",         "-0",         " 12",         "\t7",         "3.5",
    "NaN",        "inf",        "--1",         "+-1",         "",
};
constexpr int kNumberCount = sizeof kNumbers / sizeof kNumbers[0];

// Pieces that mean something to the format and clock texts.
const char* const kFormatPieces[] = {
    "%CP", "%RP", "%DFC", "%DFZ", "%DT@", "%TL", "%TU", "%UP", "%IP", "%HD", "%GDI",
    "%",   "%%",  "\\n",  "\\t",  "\\",   "%H",  "%Y",  "%c",  "%#", "%E",  "%ZZ",
};
constexpr int kFormatPieceCount = sizeof kFormatPieces / sizeof kFormatPieces[0];

// splitmix64: the same stream from the same seed on every system.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
};

std::string randomBytes(Random& random, int length, bool printable) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        int c = printable ? 32 + random.below(95) : 1 + random.below(255);
        text += static_cast<char>(c);
    }
    return text;
}

std::string mangleCase(Random& random, std::string text) {
    for (char& c : text) {
        if (random.chance(50)) {
            c = static_cast<char>(
                std::isupper(static_cast<unsigned char>(c)) ? std::tolower(static_cast<unsigned char>(c))
                                                            : std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return text;
}

// One letter dropped, doubled, replaced or added: a keyword almost right.
std::string nearMiss(Random& random, std::string text) {
    size_t at = text.empty() ? 0 : static_cast<size_t>(random.below(static_cast<int>(text.size())));
    switch (random.below(4)) {
        case 0:
            if (!text.empty()) {
                text.erase(at, 1);
            }
            break;
        case 1:
            if (!text.empty()) {
                text.insert(at, 1, text[at]);
            }
            break;
        case 2:
            if (!text.empty()) {
                text[at] = static_cast<char>(33 + random.below(94));
            }
            break;
        default:
            text += static_cast<char>(33 + random.below(94));
            break;
    }
    return text;
}

std::string prefix(Random& random) {
    int kind = random.below(100);
    if (kind < 70) {
        return "@Telvane";
    }
    if (kind < 82) {
        return mangleCase(random, "@Telvane");
    }
    if (kind < 92) {
        return nearMiss(random, "@Telvane");
    }
    if (kind < 96) {
        return "";
    }
    return randomBytes(random, random.below(12), false);
}

std::string keyword(Random& random) {
    int kind = random.below(100);
    std::string word = kKeywords[random.below(kKeywordCount)];
    if (kind < 65) {
        return word;
    }
    if (kind < 80) {
        return mangleCase(random, word);
    }
    if (kind < 92) {
        return nearMiss(random, word);
    }
    return randomBytes(random, random.below(24), random.chance(50));
}

std::string hugeText(Random& random) {
    const int length = 1000 + random.below(99001);  // up to 100,000 characters
    std::string text;
    text.reserve(static_cast<size_t>(length));
    const bool pieces = random.chance(50);
    while (static_cast<int>(text.size()) < length) {
        text += pieces ? kFormatPieces[random.below(kFormatPieceCount)]
                       : std::string(1, static_cast<char>(1 + random.below(255)));
    }
    text.resize(static_cast<size_t>(length));
    return text;
}

std::string argument(Random& random) {
    int kind = random.below(100);
    if (kind < 35) {
        return kNumbers[random.below(kNumberCount)];
    }
    if (kind < 50) {
        return std::to_string(static_cast<int64_t>(random.next()) >> random.below(64));
    }
    if (kind < 70) {
        std::string text;
        for (int n = random.below(12); n > 0; --n) {
            text += random.chance(60) ? kFormatPieces[random.below(kFormatPieceCount)]
                                      : randomBytes(random, 1 + random.below(6), true);
        }
        return text;
    }
    if (kind < 85) {
        return randomBytes(random, random.below(64), false);  // control and high bytes
    }
    if (kind < 97) {
        return randomBytes(random, random.below(300), true);
    }
    return hugeText(random);
}

std::string separator(Random& random) {
    int kind = random.below(100);
    if (kind < 80) {
        return " ";
    }
    if (kind < 90) {
        return "";
    }
    return std::string(1, static_cast<char>(1 + random.below(255)));
}

std::string fuzzCommand(Random& random) {
    if (random.chance(3)) {
        static const char* const kHost[] = {"@BBShowPlugins", "@BBHidePlugins"};
        std::string text = kHost[random.below(2)];
        return random.chance(50) ? mangleCase(random, text) : nearMiss(random, text);
    }
    std::string word = keyword(random);
    // Dialogs wait for their answer; one in a hundred is plenty.
    if (opensDialog(word) && !random.chance(1)) {
        word = "PadPercentages";
    }
    std::string text = prefix(random) + word;
    if (random.chance(70)) {
        text += separator(random) + argument(random);
    }
    // A stray terminator cuts the command where the plugin reads it.
    if (random.chance(1) && !text.empty()) {
        text[static_cast<size_t>(random.below(static_cast<int>(text.size())))] = '\0';
    }
    return text;
}

bool isDriveLog(const std::string& text) {
    // Whole-text match, as the plugin compares it; a cut text ends early.
    return _stricmp(text.c_str(), "@TelvaneHDTempLog") == 0;
}

int fuzzIndex = -1;
std::string fuzzText;
LPTOP_LEVEL_EXCEPTION_FILTER shellFilter;  // the one in force before the run

LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    std::printf("fuzzbroadcast: crash 0x%08lx at command %d: %s\n",
                exception->ExceptionRecord->ExceptionCode, fuzzIndex,
                shell::escape(fuzzText.substr(0, 300)).c_str());
    std::fflush(stdout);
    return shellFilter ? shellFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

BOOL CALLBACK countWindow(HWND window, LPARAM lParam) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(lParam);
    }
    return TRUE;
}

BOOL CALLBACK countTopWindow(HWND window, LPARAM lParam) {
    countWindow(window, lParam);
    EnumChildWindows(window, countWindow, lParam);
    return TRUE;
}

// GetGuiResources answers 0 under wine, which does not implement it;
// there the counts come from what can be seen: the live entries of the
// process's GDI handle table (found by index alone) and its windows.
DWORD guiResources(DWORD which) {
    SetLastError(0);
    DWORD count = GetGuiResources(GetCurrentProcess(), which);
    if (count != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        return count;
    }
    count = 0;
    if (which == GR_GDIOBJECTS) {
        for (uintptr_t index = 1; index <= 0xFFFF; ++index) {
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) {
                ++count;
            }
        }
    } else {
        EnumWindows(countTopWindow, reinterpret_cast<LPARAM>(&count));
        HWND messageOnly = nullptr;
        while ((messageOnly = FindWindowExA(HWND_MESSAGE, messageOnly, nullptr, nullptr))) {
            countWindow(messageOnly, reinterpret_cast<LPARAM>(&count));
        }
    }
    return count;
}

// Wine answers 0 here too; there the open handles are found by trying
// the values its handle table hands out: multiples of 4, the lowest free
// one first, so a long run of closed ones means the table has ended.
DWORD handleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) {
        return count;
    }
    count = 0;
    int closedInARow = 0;
    for (uintptr_t value = 4; closedInARow < 1024; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
            closedInARow = 0;
        } else {
            ++closedInARow;
        }
    }
    return count;
}

// Private bytes. Wine fills only the older, shorter record, whose commit
// charge (PagefileUsage) it takes from the host process: for a 32-bit
// program that includes qemu's own memory, which grows with every DLL
// image it translates anew. There the figure is the process's committed
// private memory as the program itself sees it.
SIZE_T privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory) &&
        memory.cb >= sizeof memory) {
        return memory.PrivateUsage;
    }
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) {
            break;
        }
        at = next;
    }
    return total;
}

DWORD threadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
}

// ---- process-wide state ----

struct ProcessState {
    std::string timeLocale;
    UINT errorMode = 0;
    std::string folder;
    bool winsockStarted = false;
    unsigned floatControl = 0;
    unsigned sseControl = 0;
};

ProcessState savedState;

// The 32-bit build does not assume SSE; this reads its control word only
// where the processor has it.
__attribute__((target("sse"))) unsigned sseControl() {
    return _mm_getcsr();
}

ProcessState currentState() {
    ProcessState state;
    const char* locale = std::setlocale(LC_TIME, nullptr);
    state.timeLocale = locale ? locale : "(none)";
    state.errorMode = SetErrorMode(0);
    SetErrorMode(state.errorMode);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    state.folder = folder;
    // Without a start of its own this finds Winsock started only when
    // someone else left it so.
    SOCKET probe = socket(AF_INET, SOCK_DGRAM, 0);
    state.winsockStarted = probe != INVALID_SOCKET || WSAGetLastError() != WSANOTINITIALISED;
    if (probe != INVALID_SOCKET) {
        closesocket(probe);
    }
    state.floatControl = _controlfp(0, 0);
    if (IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE)) {
        state.sseControl = sseControl();
    }
    return state;
}

template <typename T>
void compare(std::string& changes, const char* what, const T& before, const T& after) {
    if (before != after) {
        changes += std::string(changes.empty() ? "" : "; ") + what + " " + before + " -> " + after;
    }
}

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

}  // namespace

namespace shell {

void saveProcessState() {
    savedState = currentState();
}

void printProcessState() {
    const ProcessState now = currentState();
    const ProcessState& was = savedState;
    std::string changes;
    compare(changes, "time locale", "\"" + escape(was.timeLocale) + "\"",
            "\"" + escape(now.timeLocale) + "\"");
    compare(changes, "error mode", hex(was.errorMode), hex(now.errorMode));
    compare(changes, "folder", "\"" + escape(was.folder) + "\"", "\"" + escape(now.folder) + "\"");
    compare(changes, "winsock", std::string(was.winsockStarted ? "started" : "not started"),
            std::string(now.winsockStarted ? "started" : "not started"));
    compare(changes, "floating-point control", hex(was.floatControl), hex(now.floatControl));
    compare(changes, "SSE control", hex(was.sseControl), hex(now.sseControl));
    say("process", changes.empty() ? "unchanged" : "changed: " + changes);
}

void fuzzBroadcasts(long count, unsigned long long seed, bool show) {
    Random random{seed};
    shellFilter = SetUnhandledExceptionFilter(reportCrash);
    long sent = 0;
    for (long i = 0; i < count; ++i) {
        std::string text = fuzzCommand(random);
        if (isDriveLog(text.c_str())) {
            text.insert(0, "x");  // no longer a command
        }
        fuzzIndex = static_cast<int>(i);
        fuzzText = text;
        if (show) {
            say("fuzzbroadcast", "#" + std::to_string(i) + " " + escape(text.substr(0, 200)));
        }
        broadcast(text);
        pumpPending();
        ++sent;
    }
    fuzzIndex = -1;
    SetUnhandledExceptionFilter(shellFilter);
    say("fuzzbroadcast", std::to_string(sent) + " sent");
}

void printResources() {
    say("resources", "gdi " + std::to_string(guiResources(GR_GDIOBJECTS)) + " user " +
                         std::to_string(guiResources(GR_USEROBJECTS)) + " handles " +
                         std::to_string(handleCount()) + " private " +
                         std::to_string(privateBytes()) + " threads " +
                         std::to_string(threadCount()));
}

}  // namespace shell
