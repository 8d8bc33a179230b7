// The stand-in learns what the plugin drew by standing in for a few of
// its user32 imports: the plugin module's import address table entries
// are pointed at ours, which pass every call on.
#include <winsock2.h>
#include <winioctl.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "shell.h"

namespace {

using DrawTextFn = int(WINAPI*)(HDC, LPCSTR, int, LPRECT, UINT);
using FrameRectFn = int(WINAPI*)(HDC, const RECT*, HBRUSH);
using PolyPolylineFn = BOOL(WINAPI*)(HDC, const POINT*, const DWORD*, DWORD);
using BeginPaintFn = HDC(WINAPI*)(HWND, LPPAINTSTRUCT);
using EndPaintFn = BOOL(WINAPI*)(HWND, const PAINTSTRUCT*);
using MetricsFn = int(WINAPI*)(int);
using DefProcFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using CreateWindowFn = HWND(WINAPI*)(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND,
                                     HMENU, HINSTANCE, LPVOID);
using GetProcFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);

DrawTextFn realDrawText = DrawTextA;
FrameRectFn realFrameRect = FrameRect;
PolyPolylineFn realPolyPolyline = PolyPolyline;
BeginPaintFn realBeginPaint = BeginPaint;
EndPaintFn realEndPaint = EndPaint;
MetricsFn realMetrics = GetSystemMetrics;
DefProcFn realDefProc = DefWindowProcA;
CreateWindowFn realCreateWindow = CreateWindowExA;
GetProcFn realGetProc = GetProcAddress;

std::string drawnText;
std::vector<shell::DrawnRun> drawnRuns;
// What the paint under way drew so far; taken as the last paint's at its end.
std::string paintText;
std::vector<shell::DrawnRun> paintRuns;
int paintDepth = 0;
int paintsDone = 0;
bool paintHooked = false;
bool screenOverridden = false;
int screenWidth = 0;
int screenHeight = 0;
bool defProcHooked = false;
bool probingDrag = false;
bool dragStarted = false;
bool recordingPaint = false;
bool windowFailureArmed = false;
bool windowFailureHappened = false;
shell::PaintRecord paintRecord;

// What the benchmark's bare paint repeats: the font, colour, rectangle
// and flags of the plugin's first DrawTextA of a paint, and the text of
// all of them.
void recordPaint(HDC dc, const RECT* rect, UINT format) {
    shell::PaintRecord& r = paintRecord;
    r.valid = GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof r.font, &r.font) != 0;
    r.color = GetTextColor(dc);
    r.backgroundMode = GetBkMode(dc);
    r.rect = rect ? *rect : RECT{};
    r.format = format;
}

// The colour of a pen or brush as drawn: the DC's own colour for the DC
// pen and brush, the object's for any other.
COLORREF penColour(HDC dc) {
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    if (pen == GetStockObject(DC_PEN)) {
        return GetDCPenColor(dc);
    }
    LOGPEN described{};
    GetObjectA(pen, sizeof described, &described);
    return described.lopnColor;
}

COLORREF brushColour(HDC dc, HBRUSH brush) {
    if (brush == GetStockObject(DC_BRUSH)) {
        return GetDCBrushColor(dc);
    }
    LOGBRUSH described{};
    GetObjectA(brush, sizeof described, &described);
    return described.lbColor;
}

bool drawing() { return paintDepth > 0 || !paintHooked; }

int WINAPI drawTextHook(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
    // Measuring is not drawing; outside a paint nothing reaches the screen.
    if (!(format & DT_CALCRECT) && drawing()) {
        std::string drawn;
        if (text && count < 0) {
            drawn = text;
        } else if (text) {
            drawn.assign(text, static_cast<size_t>(count));
        }
        if (recordingPaint && paintRuns.empty()) {
            recordPaint(dc, rect, format);
        }
        paintText += drawn;
        paintRuns.push_back({shell::DrawnRun::Text, drawn, 0, 0, GetTextColor(dc)});
        if (!paintHooked) {
            drawnText = drawn;
            drawnRuns.assign(1, paintRuns.back());
            paintText.clear();
            paintRuns.clear();
        }
    }
    return realDrawText(dc, text, count, rect, format);
}

// A meter: its outline is its box.
int WINAPI frameRectHook(HDC dc, const RECT* rect, HBRUSH brush) {
    if (drawing() && rect) {
        paintRuns.push_back({shell::DrawnRun::Meter, "", static_cast<int>(rect->right - rect->left),
                             static_cast<int>(rect->bottom - rect->top), brushColour(dc, brush)});
    }
    return realFrameRect(dc, rect, brush);
}

// A graph: its first line is its outline, the box around its columns.
BOOL WINAPI polyPolylineHook(HDC dc, const POINT* points, const DWORD* counts, DWORD lines) {
    if (drawing() && points && counts && lines > 0 && counts[0] > 0) {
        LONG left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
        for (DWORD i = 1; i < counts[0]; ++i) {
            left = std::min(left, points[i].x);
            right = std::max(right, points[i].x);
            top = std::min(top, points[i].y);
            bottom = std::max(bottom, points[i].y);
        }
        paintRuns.push_back({shell::DrawnRun::Graph, "", static_cast<int>(right - left + 1),
                             static_cast<int>(bottom - top + 1), penColour(dc)});
    }
    return realPolyPolyline(dc, points, counts, lines);
}

HDC WINAPI beginPaintHook(HWND window, LPPAINTSTRUCT paint) {
    HDC dc = realBeginPaint(window, paint);
    if (dc) {
        ++paintDepth;
        paintText.clear();
        paintRuns.clear();
    }
    return dc;
}

BOOL WINAPI endPaintHook(HWND window, const PAINTSTRUCT* paint) {
    if (paintDepth > 0) {
        --paintDepth;
    }
    // A paint that drew nothing leaves the last one's.
    if (paintDepth == 0 && !paintRuns.empty()) {
        drawnText = paintText;
        drawnRuns = paintRuns;
        if (recordingPaint) {
            paintRecord.text = paintText;
        }
    }
    ++paintsDone;
    return realEndPaint(window, paint);
}

int WINAPI metricsHook(int index) {
    if (screenOverridden) {
        switch (index) {
            case SM_CXSCREEN:
            case SM_CXVIRTUALSCREEN:
                return screenWidth;
            case SM_CYSCREEN:
            case SM_CYVIRTUALSCREEN:
                return screenHeight;
            default:
                break;
        }
    }
    return realMetrics(index);
}

// A plugin that lets a button-down reach the default procedure lets the
// drag start; during a probe we note that instead of running the modal
// move loop, which would wait for a real mouse.
LRESULT WINAPI defProcHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (probingDrag && message == WM_NCLBUTTONDOWN) {
        dragStarted = true;
        return 0;
    }
    return realDefProc(window, message, wParam, lParam);
}

HWND WINAPI createWindowHook(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                             int y, int width, int height, HWND parent, HMENU menu,
                             HINSTANCE instance, LPVOID parameter) {
    if (windowFailureArmed) {
        windowFailureArmed = false;
        windowFailureHappened = true;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return realCreateWindow(exStyle, className, title, style, x, y, width, height, parent, menu,
                            instance, parameter);
}

// After `display` the one monitor is the new screen, for the monitor
// functions the plugin looks up at run time as for GetSystemMetrics.
const HMONITOR kDisplayMonitor = reinterpret_cast<HMONITOR>(static_cast<intptr_t>(0x7E1A));

RECT displayRect() {
    return RECT{0, 0, screenWidth, screenHeight};
}

HMONITOR WINAPI monitorFromWindowHook(HWND window, DWORD flags) {
    return screenOverridden ? kDisplayMonitor : MonitorFromWindow(window, flags);
}

BOOL WINAPI monitorInfoHook(HMONITOR monitor, LPMONITORINFO info) {
    if (monitor != kDisplayMonitor) {
        return GetMonitorInfoA(monitor, info);
    }
    if (!info || info->cbSize < sizeof(MONITORINFO)) {
        return FALSE;
    }
    info->rcMonitor = displayRect();
    info->rcWork = displayRect();
    info->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

BOOL WINAPI enumMonitorsHook(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data) {
    if (!screenOverridden) {
        return EnumDisplayMonitors(dc, clip, callback, data);
    }
    RECT area = displayRect();
    callback(kDisplayMonitor, nullptr, &area, data);
    return TRUE;
}

template <typename Fn>
FARPROC procOf(Fn function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// ---- Windows XP and missing DLLs ----

// "dll name" of every function XP SP3 has that the plugin may use.
const char* const kXpFunctions[] = {
#include "xp-functions.inc"
};

// The plugin's lookups and loads come from its worker thread too.
CRITICAL_SECTION xpLock;
bool xpPending = false;
volatile LONG xpActive = 0;
std::set<std::string> refusedLookups;
std::string failingLibrary;  // lower case; empty: every load goes on

struct XpLockInit {
    XpLockInit() { InitializeCriticalSection(&xpLock); }
} xpLockInit;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether XP SP3's copy of `module` has `name`.
bool xpHas(HMODULE module, const char* name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return false;
    }
    const std::string wanted = lowered(baseName(path)) + " " + name;
    for (const char* entry : kXpFunctions) {
        if (wanted == entry) {
            return true;
        }
    }
    return false;
}

FARPROC WINAPI getProcHook(HMODULE module, LPCSTR name) {
    const bool byName = (reinterpret_cast<uintptr_t>(name) >> 16) != 0;
    if (byName && xpActive && !xpHas(module, name)) {
        EnterCriticalSection(&xpLock);
        refusedLookups.insert(name);
        LeaveCriticalSection(&xpLock);
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (byName) {
        if (FARPROC network = shell::networkFunction(module, name)) {
            return network;
        }
    }
    if (byName && module != nullptr && module == GetModuleHandleA("user32.dll")) {
        if (std::strcmp(name, "MonitorFromWindow") == 0) {
            return procOf(&monitorFromWindowHook);
        }
        if (std::strcmp(name, "GetMonitorInfoA") == 0) {
            return procOf(&monitorInfoHook);
        }
        if (std::strcmp(name, "EnumDisplayMonitors") == 0) {
            return procOf(&enumMonitorsHook);
        }
    }
    return realGetProc(module, name);
}

using LoadLibraryFn = HMODULE(WINAPI*)(LPCSTR);
LoadLibraryFn realLoadLibrary = LoadLibraryA;

HMODULE WINAPI loadLibraryHook(LPCSTR name) {
    EnterCriticalSection(&xpLock);
    const bool fails = name && !failingLibrary.empty() && lowered(baseName(name)) == failingLibrary;
    LeaveCriticalSection(&xpLock);
    if (fails) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return realLoadLibrary(name);
}

template <typename T>
const T* at(HMODULE module, DWORD offset) {
    return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + offset);
}

// Points the module's import of dll!name at `replacement`, keeping the
// address it held in `original`.
bool patchImport(HMODULE module, const char* dll, const char* name, void* replacement,
                 void** original) {
    auto dos = at<IMAGE_DOS_HEADER>(module, 0);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return false;
    }
    auto nt = at<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return false;
    }
    FARPROC target = GetProcAddress(GetModuleHandleA(dll), name);
    for (auto imports = at<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         imports->Name != 0; ++imports) {
        if (_stricmp(at<char>(module, imports->Name), dll) != 0) {
            continue;
        }
        auto names = imports->OriginalFirstThunk
                         ? at<IMAGE_THUNK_DATA>(module, imports->OriginalFirstThunk)
                         : nullptr;
        auto slots = const_cast<IMAGE_THUNK_DATA*>(at<IMAGE_THUNK_DATA>(module, imports->FirstThunk));
        for (size_t i = 0; slots[i].u1.Function != 0; ++i) {
            bool match;
            if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
                auto byName =
                    at<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names[i].u1.AddressOfData));
                match = std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0;
            } else {
                match = target && slots[i].u1.Function == reinterpret_cast<ULONG_PTR>(target);
            }
            if (!match) {
                continue;
            }
            DWORD oldProtection;
            if (!VirtualProtect(&slots[i], sizeof slots[i], PAGE_READWRITE, &oldProtection)) {
                return false;
            }
            *original = reinterpret_cast<void*>(slots[i].u1.Function);
            slots[i].u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots[i], sizeof slots[i], oldProtection, &oldProtection);
            return true;
        }
    }
    return false;
}

template <typename Fn>
bool patch(HMODULE module, const char* name, Fn replacement, Fn& original,
           const char* dll = "user32.dll") {
    void* previous = nullptr;
    if (!patchImport(module, dll, name, reinterpret_cast<void*>(replacement), &previous)) {
        return false;
    }
    // Hooked already (after a benchmark, or a module a reload found still
    // loaded): the original stays the system's function.
    if (previous != reinterpret_cast<void*>(replacement)) {
        original = reinterpret_cast<Fn>(previous);
    }
    return true;
}

// ---- the plugin's slow queries ----

using DiskFreeFn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
using DeviceControlFn = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD,
                                      LPOVERLAPPED);
using HostByNameFn = struct hostent*(WINAPI*)(const char*);
using ErrorModeFn = UINT(WINAPI*)();
using ThreadErrorModeFn = DWORD(WINAPI*)();

DiskFreeFn realDiskFree = GetDiskFreeSpaceExA;
DeviceControlFn realDeviceControl = DeviceIoControl;
HostByNameFn realHostByName = nullptr;

enum Query { DiskQuery, DeviceQuery, HostQuery, QueryCount };
const char* const kQueryNames[QueryCount] = {"disk", "device", "host"};
// Made from the plugin's threads too, so counted with interlocked calls.
volatile LONG queryCalls[QueryCount];
volatile LONG queryCallsOnShellThread[QueryCount];
volatile LONG diskWaiting;
volatile LONG diskHeld;
volatile LONG diskProcessMode = -1;  // the error modes while the last disk query ran
volatile LONG diskThreadMode = -1;
DWORD shellThread;
HANDLE diskGate;  // manual reset; set while disk queries may go on

template <typename Fn>
Fn kernelFunction(const char* name) {
    FARPROC address = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

void countQuery(Query query) {
    InterlockedIncrement(&queryCalls[query]);
    if (GetCurrentThreadId() == shellThread) {
        InterlockedIncrement(&queryCallsOnShellThread[query]);
    }
}

BOOL WINAPI diskFreeHook(LPCSTR root, PULARGE_INTEGER available, PULARGE_INTEGER total,
                         PULARGE_INTEGER free) {
    countQuery(DiskQuery);
    static const ErrorModeFn processMode = kernelFunction<ErrorModeFn>("GetErrorMode");
    static const ThreadErrorModeFn threadMode = kernelFunction<ThreadErrorModeFn>("GetThreadErrorMode");
    InterlockedExchange(&diskProcessMode, processMode ? static_cast<LONG>(processMode()) : -1);
    InterlockedExchange(&diskThreadMode, threadMode ? static_cast<LONG>(threadMode()) : -1);
    // Held on the shell's own thread, the script could never release it:
    // such a call is counted and goes on.
    if (diskHeld && GetCurrentThreadId() != shellThread) {
        InterlockedIncrement(&diskWaiting);
        WaitForSingleObject(diskGate, INFINITE);
        InterlockedDecrement(&diskWaiting);
    }
    return realDiskFree(root, available, total, free);
}

// ---- a stand-in drive and files the plugin may not write ----

using CreateFileFn = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                     HANDLE);
using CloseHandleFn = BOOL(WINAPI*)(HANDLE);
using OpenFileFn = FILE*(__cdecl*)(const char*, const char*);

CreateFileFn realCreateFile = CreateFileA;
CloseHandleFn realCloseHandle = CloseHandle;
OpenFileFn realOpenFile = nullptr;

// Used from the plugin's worker thread too.
CRITICAL_SECTION driveLock;
struct DriveLockInit {
    DriveLockInit() { InitializeCriticalSection(&driveLock); }
} driveLockInit;
bool standInDrive = false;
std::set<HANDLE> standInHandles;
std::set<std::string> deniedFiles;  // lower case

// A SATA disk's attribute table as an administrator reads it: the
// read error rate, power-on hours, an empty entry, the temperature.
struct RecordedAttribute {
    BYTE id, value, raw[6];
};
const RecordedAttribute kRecordedAttributes[] = {
    {1, 100, {0}}, {9, 97, {55, 61}}, {0, 0, {7}}, {194, 38, {38, 0, 0, 0, 45}}};

bool isStandInDrive(HANDLE device) {
    EnterCriticalSection(&driveLock);
    const bool found = standInHandles.count(device) != 0;
    LeaveCriticalSection(&driveLock);
    return found;
}

// The three S.M.A.R.T. requests, answered as a disk driver does; any
// other request is one the drive does not know.
BOOL answerAsDrive(DWORD code, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned) {
    const DWORD commandSize = sizeof(SENDCMDINPARAMS) - 1;
    const DWORD resultSize = sizeof(SENDCMDOUTPARAMS) - 1;
    DWORD written = 0;
    if (code == SMART_GET_VERSION && outSize >= sizeof(GETVERSIONINPARAMS)) {
        GETVERSIONINPARAMS version{};
        version.bVersion = 1;
        version.bIDEDeviceMap = 0x01;
        version.fCapabilities = CAP_SMART_CMD;
        std::memcpy(out, &version, sizeof version);
        written = sizeof version;
    } else if (code == SMART_SEND_DRIVE_COMMAND && inSize >= commandSize && outSize >= resultSize) {
        std::memset(out, 0, resultSize);
        written = resultSize;
    } else if (code == SMART_RCV_DRIVE_DATA && inSize >= commandSize &&
               outSize >= resultSize + READ_ATTRIBUTE_BUFFER_SIZE) {
        BYTE* answer = static_cast<BYTE*>(out);
        std::memset(answer, 0, resultSize + READ_ATTRIBUTE_BUFFER_SIZE);
        const DWORD sectorSize = READ_ATTRIBUTE_BUFFER_SIZE;
        std::memcpy(answer, &sectorSize, sizeof sectorSize);
        BYTE* sector = answer + resultSize;
        sector[0] = 16;  // revision
        BYTE* entry = sector + 2;
        for (const RecordedAttribute& attribute : kRecordedAttributes) {
            entry[0] = attribute.id;
            entry[3] = attribute.value;
            entry[4] = attribute.value;
            std::memcpy(entry + 5, attribute.raw, sizeof attribute.raw);
            entry += 12;
        }
        written = resultSize + READ_ATTRIBUTE_BUFFER_SIZE;
    } else {
        if (returned) {
            *returned = 0;
        }
        SetLastError(ERROR_INVALID_FUNCTION);
        return FALSE;
    }
    if (returned) {
        *returned = written;
    }
    return TRUE;
}

HANDLE WINAPI createFileHook(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE model) {
    EnterCriticalSection(&driveLock);
    const bool standIn = standInDrive && path && _stricmp(path, "\\\\.\\PhysicalDrive0") == 0;
    LeaveCriticalSection(&driveLock);
    if (!standIn) {
        return realCreateFile(path, access, share, security, disposition, flags, model);
    }
    // A handle of our own, which CloseHandle takes like a device's.
    HANDLE handle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!handle) {
        return INVALID_HANDLE_VALUE;
    }
    EnterCriticalSection(&driveLock);
    standInHandles.insert(handle);
    LeaveCriticalSection(&driveLock);
    return handle;
}

BOOL WINAPI closeHandleHook(HANDLE handle) {
    EnterCriticalSection(&driveLock);
    standInHandles.erase(handle);
    LeaveCriticalSection(&driveLock);
    return realCloseHandle(handle);
}

FILE* __cdecl openFileHook(const char* path, const char* mode) {
    EnterCriticalSection(&driveLock);
    const bool denied = path && deniedFiles.count(lowered(path)) != 0;
    LeaveCriticalSection(&driveLock);
    if (denied) {
        errno = EACCES;
        return nullptr;
    }
    return realOpenFile(path, mode);
}

BOOL WINAPI deviceControlHook(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                              DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped) {
    countQuery(DeviceQuery);
    if (isStandInDrive(device)) {
        return answerAsDrive(code, in ? inSize : 0, out, out ? outSize : 0, returned);
    }
    return realDeviceControl(device, code, in, inSize, out, outSize, returned, overlapped);
}

struct hostent* WINAPI hostByNameHook(const char* name) {
    countQuery(HostQuery);
    return realHostByName(name);
}

}  // namespace

namespace shell {

int hookPluginImports(HMODULE plugin) {
    int patched = 0;
    patched += patch(plugin, "DrawTextA", &drawTextHook, realDrawText);
    patched += patch(plugin, "FrameRect", &frameRectHook, realFrameRect);
    patched += patch(plugin, "PolyPolyline", &polyPolylineHook, realPolyPolyline, "gdi32.dll");
    paintHooked = patch(plugin, "BeginPaint", &beginPaintHook, realBeginPaint);
    paintHooked = patch(plugin, "EndPaint", &endPaintHook, realEndPaint) && paintHooked;
    patched += paintHooked ? 2 : 0;
    patched += patch(plugin, "GetSystemMetrics", &metricsHook, realMetrics);
    defProcHooked = patch(plugin, "DefWindowProcA", &defProcHook, realDefProc);
    patched += defProcHooked;
    patched += patch(plugin, "CreateWindowExA", &createWindowHook, realCreateWindow);
    patched += patch(plugin, "GetProcAddress", &getProcHook, realGetProc, "kernel32.dll");
    patched += patch(plugin, "LoadLibraryA", &loadLibraryHook, realLoadLibrary, "kernel32.dll");

    shellThread = GetCurrentThreadId();
    if (!diskGate) {
        diskGate = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    }
    patched += patch(plugin, "GetDiskFreeSpaceExA", &diskFreeHook, realDiskFree, "kernel32.dll");
    patched += patch(plugin, "DeviceIoControl", &deviceControlHook, realDeviceControl,
                     "kernel32.dll");
    patched += patch(plugin, "gethostbyname", &hostByNameHook, realHostByName, "ws2_32.dll");
    patched += hookNetworkImports(plugin);
    patched += patch(plugin, "CreateFileA", &createFileHook, realCreateFile, "kernel32.dll");
    patched += patch(plugin, "CloseHandle", &closeHandleHook, realCloseHandle, "kernel32.dll");
    patched += patch(plugin, "fopen", &openFileHook, realOpenFile, "msvcrt.dll");
    return patched;
}

bool patchPluginImport(HMODULE plugin, const char* dll, const char* name, void* replacement,
                       void** original) {
    void* previous = nullptr;
    if (!patchImport(plugin, dll, name, replacement, &previous)) {
        return false;
    }
    if (previous != replacement) {
        *original = previous;
    }
    return true;
}

void useStandInDrive(bool on) {
    EnterCriticalSection(&driveLock);
    standInDrive = on;
    LeaveCriticalSection(&driveLock);
}

void denyFile(const std::string& path) {
    EnterCriticalSection(&driveLock);
    if (path.empty()) {
        deniedFiles.clear();
    } else {
        deniedFiles.insert(lowered(path));
    }
    LeaveCriticalSection(&driveLock);
}

void holdDiskQueries() {
    ResetEvent(diskGate);
    InterlockedExchange(&diskHeld, 1);
}

void releaseQueries() {
    InterlockedExchange(&diskHeld, 0);
    if (diskGate) {
        SetEvent(diskGate);
    }
}

void printQueries() {
    std::string calls;
    std::string onShell;
    for (int i = 0; i < QueryCount; ++i) {
        calls += std::string(i ? " " : "") + kQueryNames[i] + " " + std::to_string(queryCalls[i]);
        onShell += " " + std::to_string(queryCallsOnShellThread[i]);
    }
    char modes[64];
    std::snprintf(modes, sizeof modes, "process 0x%lx thread 0x%lx",
                  static_cast<unsigned long>(diskProcessMode),
                  static_cast<unsigned long>(diskThreadMode));
    say("queries", calls + " | on the shell's thread" + onShell + " | waiting " +
                       std::to_string(diskWaiting) + " | last disk query's error mode " + modes);
}

void unhookPluginImports(HMODULE plugin) {
    DrawTextFn drawText = nullptr;
    FrameRectFn frameRect = nullptr;
    PolyPolylineFn polyPolyline = nullptr;
    BeginPaintFn beginPaint = nullptr;
    EndPaintFn endPaint = nullptr;
    MetricsFn metrics = nullptr;
    DefProcFn defProc = nullptr;
    CreateWindowFn createWindow = nullptr;
    GetProcFn getProc = nullptr;
    patch(plugin, "DrawTextA", realDrawText, drawText);
    patch(plugin, "FrameRect", realFrameRect, frameRect);
    patch(plugin, "PolyPolyline", realPolyPolyline, polyPolyline, "gdi32.dll");
    patch(plugin, "BeginPaint", realBeginPaint, beginPaint);
    patch(plugin, "EndPaint", realEndPaint, endPaint);
    patch(plugin, "GetSystemMetrics", realMetrics, metrics);
    patch(plugin, "DefWindowProcA", realDefProc, defProc);
    patch(plugin, "CreateWindowExA", realCreateWindow, createWindow);
    patch(plugin, "GetProcAddress", realGetProc, getProc, "kernel32.dll");
    unhookNetworkImports(plugin);
}

void failNextWindow() { windowFailureArmed = true; }

void setXpMode(bool on) { xpPending = on; }

void applyXpMode() {
    InterlockedExchange(&xpActive, xpPending ? 1 : 0);
}

std::string refusedXpLookups() {
    EnterCriticalSection(&xpLock);
    std::string names;
    for (const std::string& name : refusedLookups) {
        names += (names.empty() ? "" : " ") + name;
    }
    LeaveCriticalSection(&xpLock);
    return names;
}

void failLibrary(const std::string& name) {
    EnterCriticalSection(&xpLock);
    failingLibrary = lowered(name);
    LeaveCriticalSection(&xpLock);
}

bool takeProvokedFailure() {
    const bool happened = windowFailureHappened;
    windowFailureHappened = false;
    return happened;
}

void recordPaints(bool on) { recordingPaint = on; }

const PaintRecord& recordedPaint() { return paintRecord; }

const std::string& lastDrawnText() { return drawnText; }

const std::vector<DrawnRun>& lastDrawnRuns() { return drawnRuns; }

int takePaintCount() {
    int count = paintsDone;
    paintsDone = 0;
    return count;
}

void overrideScreenSize(int width, int height) {
    screenOverridden = true;
    screenWidth = width;
    screenHeight = height;
}

}  // namespace shell

namespace shell {

bool dragWouldStart(HWND window, WPARAM hitTest, LPARAM point) {
    if (!defProcHooked) {
        return true;
    }
    probingDrag = true;
    dragStarted = false;
    SendMessageA(window, WM_NCLBUTTONDOWN, hitTest, point);
    probingDrag = false;
    return dragStarted;
}

}  // namespace shell
