// The plugin's interface reads and change notifications, as the `net` and
// `route` commands shape them. Its imports of the interface functions
// (and the ones it looks up at run time) are pointed at ours, which pass
// every call on and count it; `net IN OUT` makes every interface read
// answer those octet counts, and `route N` makes GetBestInterface answer
// N and notifies the change the way Windows does: on a thread of its own
// for the callbacks of Vista and later, by completing the overlapped
// request for XP's NotifyAddrChange and NotifyRouteChange.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "shell.h"

namespace {

using GetIfEntry2Fn = DWORD(WINAPI*)(MIB_IF_ROW2*);
using GetIfEntryFn = DWORD(WINAPI*)(MIB_IFROW*);
using GetIfTableFn = DWORD(WINAPI*)(MIB_IFTABLE*, ULONG*, BOOL);
using CountFn = DWORD(WINAPI*)(DWORD*);
using BestInterfaceFn = DWORD(WINAPI*)(IPAddr, DWORD*);
using NotifyChangeFn = DWORD(WINAPI*)(HANDLE*, OVERLAPPED*);
using CancelIoFn = BOOL(WINAPI*)(HANDLE);
using NotifyInterfaceFn = DWORD(WINAPI*)(ADDRESS_FAMILY, PIPINTERFACE_CHANGE_CALLBACK, PVOID,
                                         BOOLEAN, HANDLE*);
using NotifyRouteFn = DWORD(WINAPI*)(ADDRESS_FAMILY, PIPFORWARD_CHANGE_CALLBACK, PVOID, BOOLEAN,
                                     HANDLE*);
using CancelNotifyFn = DWORD(WINAPI*)(HANDLE);

GetIfEntryFn realGetIfEntry = GetIfEntry;
GetIfTableFn realGetIfTable = GetIfTable;
CountFn realCount = GetNumberOfInterfaces;
BestInterfaceFn realBestInterface = GetBestInterface;
NotifyChangeFn realNotifyAddrChange = NotifyAddrChange;
NotifyChangeFn realNotifyRouteChange = NotifyRouteChange;
CancelIoFn realCancelIo = CancelIo;

template <typename Fn>
Fn iphlpapiFunction(const char* name) {
    FARPROC address = GetProcAddress(GetModuleHandleA("iphlpapi.dll"), name);
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

template <typename Fn>
FARPROC procOf(Fn function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// The plugin reads on the shell's thread; the callbacks run on ours.
CRITICAL_SECTION lock;
struct LockInit {
    LockInit() { InitializeCriticalSection(&lock); }
} lockInit;

struct Guard {
    Guard() { EnterCriticalSection(&lock); }
    ~Guard() { LeaveCriticalSection(&lock); }
};

volatile LONG netOn = 0;
ULONG64 netIn = 0;
ULONG64 netOut = 0;
bool routeSet = false;
DWORD routeIndex = 0;

volatile LONG reads = 0;
volatile LONG tableReads = 0;
volatile LONG counts = 0;
volatile LONG routeLookups = 0;
volatile LONG lastInterface = 0;

// Vista and later: the callbacks registered and not cancelled. The plugin
// is given a handle of ours; the system's stays inside.
struct CallbackEntry {
    bool route;
    void* callback;
    void* context;
    HANDLE system;
};
std::vector<CallbackEntry*> callbacks;

// XP: the requests waiting for a change, all answered through one handle.
std::vector<OVERLAPPED*> requests;
HANDLE requestHandle = nullptr;

constexpr ULONG_PTR kPending = 0x103;         // STATUS_PENDING
constexpr ULONG_PTR kCancelled = 0xC0000120;  // STATUS_CANCELLED

void countRead(DWORD index) {
    InterlockedIncrement(&reads);
    InterlockedExchange(&lastInterface, static_cast<LONG>(index));
}

DWORD WINAPI getIfEntry2Hook(MIB_IF_ROW2* row) {
    static const GetIfEntry2Fn real = iphlpapiFunction<GetIfEntry2Fn>("GetIfEntry2");
    const NET_IFINDEX index = row->InterfaceIndex;
    countRead(index);
    DWORD result = real ? real(row) : ERROR_NOT_SUPPORTED;
    if (netOn) {
        if (result != NO_ERROR) {
            // An interface the system does not have: a row of our own,
            // with a LUID that leads back to its index.
            const NET_LUID luid = row->InterfaceLuid;
            std::memset(row, 0, sizeof *row);
            row->InterfaceIndex = index;
            row->InterfaceLuid.Value = luid.Value != 0 ? luid.Value : 0x7E1A000000000000ull | index;
            result = NO_ERROR;
        }
        row->InOctets = netIn;
        row->OutOctets = netOut;
    }
    return result;
}

DWORD WINAPI getIfEntryHook(MIB_IFROW* row) {
    const DWORD index = row->dwIndex;
    countRead(index);
    DWORD result = realGetIfEntry(row);
    if (netOn) {
        if (result != NO_ERROR) {
            std::memset(row, 0, sizeof *row);
            row->dwIndex = index;
            result = NO_ERROR;
        }
        row->dwInOctets = static_cast<DWORD>(netIn);
        row->dwOutOctets = static_cast<DWORD>(netOut);
    }
    return result;
}

DWORD WINAPI getIfTableHook(MIB_IFTABLE* table, ULONG* size, BOOL sorted) {
    InterlockedIncrement(&tableReads);
    return realGetIfTable(table, size, sorted);
}

DWORD WINAPI countHook(DWORD* count) {
    InterlockedIncrement(&counts);
    return realCount(count);
}

DWORD WINAPI bestInterfaceHook(IPAddr address, DWORD* index) {
    InterlockedIncrement(&routeLookups);
    Guard guard;
    if (routeSet) {
        *index = routeIndex;
        return NO_ERROR;
    }
    return realBestInterface(address, index);
}

DWORD request(HANDLE* handle, OVERLAPPED* overlapped, NotifyChangeFn real) {
    if (overlapped == nullptr) {
        return real(handle, overlapped);  // waits for a change: not ours to answer
    }
    Guard guard;
    if (requestHandle == nullptr) {
        requestHandle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    overlapped->Internal = kPending;
    requests.push_back(overlapped);
    *handle = requestHandle;
    return ERROR_IO_PENDING;
}

DWORD WINAPI notifyAddrChangeHook(HANDLE* handle, OVERLAPPED* overlapped) {
    return request(handle, overlapped, realNotifyAddrChange);
}

DWORD WINAPI notifyRouteChangeHook(HANDLE* handle, OVERLAPPED* overlapped) {
    return request(handle, overlapped, realNotifyRouteChange);
}

// Completes every request waiting; caller holds the lock.
int answerRequests(ULONG_PTR status) {
    const int answered = static_cast<int>(requests.size());
    for (OVERLAPPED* overlapped : requests) {
        overlapped->InternalHigh = 0;
        overlapped->Internal = status;
        if (overlapped->hEvent != nullptr) {
            SetEvent(overlapped->hEvent);
        }
    }
    requests.clear();
    return answered;
}

BOOL WINAPI cancelIoHook(HANDLE handle) {
    {
        Guard guard;
        if (handle != nullptr && handle == requestHandle) {
            answerRequests(kCancelled);
            return TRUE;
        }
    }
    return realCancelIo(handle);
}

template <typename Real, typename Callback>
DWORD registerCallback(bool route, const char* name, ADDRESS_FAMILY family, Callback callback,
                       PVOID context, BOOLEAN initial, HANDLE* handle) {
    const Real real = iphlpapiFunction<Real>(name);
    if (real == nullptr) {
        return ERROR_NOT_SUPPORTED;
    }
    HANDLE system = nullptr;
    const DWORD result = real(family, callback, context, initial, &system);
    if (result != NO_ERROR) {
        return result;
    }
    Guard guard;
    auto* entry = new CallbackEntry{route, reinterpret_cast<void*>(callback), context, system};
    callbacks.push_back(entry);
    *handle = reinterpret_cast<HANDLE>(entry);
    return NO_ERROR;
}

DWORD WINAPI notifyInterfaceHook(ADDRESS_FAMILY family, PIPINTERFACE_CHANGE_CALLBACK callback,
                                 PVOID context, BOOLEAN initial, HANDLE* handle) {
    return registerCallback<NotifyInterfaceFn>(false, "NotifyIpInterfaceChange", family, callback,
                                               context, initial, handle);
}

DWORD WINAPI notifyRouteHook(ADDRESS_FAMILY family, PIPFORWARD_CHANGE_CALLBACK callback,
                             PVOID context, BOOLEAN initial, HANDLE* handle) {
    return registerCallback<NotifyRouteFn>(true, "NotifyRouteChange2", family, callback, context,
                                           initial, handle);
}

// Waits, as Windows does, for a callback under way: ours run under the lock.
DWORD WINAPI cancelNotifyHook(HANDLE handle) {
    static const CancelNotifyFn real = iphlpapiFunction<CancelNotifyFn>("CancelMibChangeNotify2");
    HANDLE system = handle;
    {
        Guard guard;
        for (auto it = callbacks.begin(); it != callbacks.end(); ++it) {
            if (reinterpret_cast<HANDLE>(*it) == handle) {
                system = (*it)->system;
                delete *it;
                callbacks.erase(it);
                break;
            }
        }
    }
    return real ? real(system) : ERROR_NOT_SUPPORTED;
}

// Every callback registered, from a thread that is not the shell's.
DWORD WINAPI notifyCallbacks(LPVOID) {
    Guard guard;
    for (const CallbackEntry* entry : callbacks) {
        if (entry->route) {
            MIB_IPFORWARD_ROW2 row;
            std::memset(&row, 0, sizeof row);
            row.InterfaceIndex = routeIndex;
            reinterpret_cast<PIPFORWARD_CHANGE_CALLBACK>(entry->callback)(entry->context, &row,
                                                                          MibParameterNotification);
        } else {
            MIB_IPINTERFACE_ROW row;
            std::memset(&row, 0, sizeof row);
            row.InterfaceIndex = routeIndex;
            reinterpret_cast<PIPINTERFACE_CHANGE_CALLBACK>(entry->callback)(
                entry->context, &row, MibParameterNotification);
        }
    }
    return 0;
}

}  // namespace

namespace shell {

int hookNetworkImports(HMODULE plugin) {
    int patched = 0;
    patched += patchPluginImport(plugin, "iphlpapi.dll", "GetIfEntry",
                                 reinterpret_cast<void*>(&getIfEntryHook),
                                 reinterpret_cast<void**>(&realGetIfEntry));
    patched += patchPluginImport(plugin, "iphlpapi.dll", "GetIfTable",
                                 reinterpret_cast<void*>(&getIfTableHook),
                                 reinterpret_cast<void**>(&realGetIfTable));
    patched += patchPluginImport(plugin, "iphlpapi.dll", "GetNumberOfInterfaces",
                                 reinterpret_cast<void*>(&countHook),
                                 reinterpret_cast<void**>(&realCount));
    patched += patchPluginImport(plugin, "iphlpapi.dll", "GetBestInterface",
                                 reinterpret_cast<void*>(&bestInterfaceHook),
                                 reinterpret_cast<void**>(&realBestInterface));
    patched += patchPluginImport(plugin, "iphlpapi.dll", "NotifyAddrChange",
                                 reinterpret_cast<void*>(&notifyAddrChangeHook),
                                 reinterpret_cast<void**>(&realNotifyAddrChange));
    patched += patchPluginImport(plugin, "iphlpapi.dll", "NotifyRouteChange",
                                 reinterpret_cast<void*>(&notifyRouteChangeHook),
                                 reinterpret_cast<void**>(&realNotifyRouteChange));
    patched += patchPluginImport(plugin, "kernel32.dll", "CancelIo",
                                 reinterpret_cast<void*>(&cancelIoHook),
                                 reinterpret_cast<void**>(&realCancelIo));
    return patched;
}

void unhookNetworkImports(HMODULE plugin) {
    void* ignored = nullptr;
    patchPluginImport(plugin, "iphlpapi.dll", "GetIfEntry", reinterpret_cast<void*>(realGetIfEntry),
                      &ignored);
    patchPluginImport(plugin, "iphlpapi.dll", "GetIfTable", reinterpret_cast<void*>(realGetIfTable),
                      &ignored);
    patchPluginImport(plugin, "iphlpapi.dll", "GetNumberOfInterfaces",
                      reinterpret_cast<void*>(realCount), &ignored);
    patchPluginImport(plugin, "iphlpapi.dll", "GetBestInterface",
                      reinterpret_cast<void*>(realBestInterface), &ignored);
}

FARPROC networkFunction(HMODULE module, const char* name) {
    if (module == nullptr || module != GetModuleHandleA("iphlpapi.dll")) {
        return nullptr;
    }
    if (std::strcmp(name, "GetIfEntry2") == 0) {
        return procOf(&getIfEntry2Hook);
    }
    if (std::strcmp(name, "NotifyIpInterfaceChange") == 0) {
        return procOf(&notifyInterfaceHook);
    }
    if (std::strcmp(name, "NotifyRouteChange2") == 0) {
        return procOf(&notifyRouteHook);
    }
    if (std::strcmp(name, "CancelMibChangeNotify2") == 0) {
        return procOf(&cancelNotifyHook);
    }
    return nullptr;
}

void setNetworkCounts(bool on, unsigned long long in, unsigned long long out) {
    Guard guard;
    netIn = in;
    netOut = out;
    InterlockedExchange(&netOn, on ? 1 : 0);
}

int changeRoute(bool set, unsigned long index) {
    int notified = 0;
    {
        Guard guard;
        routeSet = set;
        routeIndex = static_cast<DWORD>(index);
        notified = answerRequests(0) + static_cast<int>(callbacks.size());
    }
    HANDLE thread = CreateThread(nullptr, 0, notifyCallbacks, nullptr, 0, nullptr);
    if (thread != nullptr) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return notified;
}

void printNetwork() {
    size_t watching = 0;
    {
        Guard guard;
        watching = callbacks.size() + requests.size();
    }
    char line[160];
    std::snprintf(
        line, sizeof line, "interface %ld reads %ld table %ld count %ld route %ld watching %zu",
        static_cast<long>(lastInterface), static_cast<long>(reads), static_cast<long>(tableReads),
        static_cast<long>(counts), static_cast<long>(routeLookups), watching);
    say("net", line);
}

}  // namespace shell
