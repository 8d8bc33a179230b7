#include <winsock2.h>
#include <ws2ipdef.h>  // before netioapi.h, which declares MIB_IF_ROW2 only after it
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "format/text.h"
#include "host/lookup_win.h"
#include "metrics/network.h"

namespace {

MIB_IFTABLE* table = nullptr;
ULONG tableSize = 0;  // bytes allocated at `table`

// Vista and later: one interface's row with 64-bit counters. The row has
// no pointers: one size for both bitnesses.
typedef DWORD(WINAPI* GetIfEntry2Fn)(MIB_IF_ROW2*);
static_assert(sizeof(MIB_IF_ROW2) == 1352, "MIB_IF_ROW2 as Windows lays it out");
GetIfEntry2Fn getIfEntry2 = nullptr;
bool getIfEntry2Looked = false;
// The LUID of the interface read last: given with the index, the row is
// found without first asking the system to turn the index into a LUID.
uint32_t luidIndex = 0;
uint64_t luid = 0;

bool growTable(ULONG needed) {
    void* grown = std::realloc(table, needed);
    if (grown == nullptr) {
        return false;
    }
    table = static_cast<MIB_IFTABLE*>(grown);
    tableSize = needed;
    return true;
}

bool readTable() {
    if (tableSize == 0) {
        ULONG needed = 0;
        if (GetIfTable(nullptr, &needed, FALSE) != ERROR_INSUFFICIENT_BUFFER || needed == 0 ||
            !growTable(needed)) {
            return false;
        }
    }
    // Interfaces may have been added since the buffer was sized: grow once
    // to what the system asks for, never claiming more room than we have.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ULONG size = tableSize;
        const DWORD result = GetIfTable(table, &size, FALSE);
        if (result == NO_ERROR) {
            return true;
        }
        if (result != ERROR_INSUFFICIENT_BUFFER || size <= tableSize || !growTable(size)) {
            return false;
        }
    }
    return false;
}

}  // namespace

bool locateInterface(int interfaceSetting, InterfaceLocation* where) {
    if (!readTable()) {
        return false;
    }
    uint32_t row = 0;
    if (!chooseInterfaceRow(interfaceSetting, table->dwNumEntries, &row)) {
        return false;
    }
    const size_t end = offsetof(MIB_IFTABLE, table) + (static_cast<size_t>(row) + 1) * sizeof(MIB_IFROW);
    if (end > tableSize) {
        return false;
    }
    where->row = row;
    where->interfaceId = table->table[row].dwIndex;
    return true;
}

namespace {

// 192.0.2.1 (TEST-NET-1, RFC 5737) belongs to no network, so only the
// default route leads there. Nothing is sent to it.
const unsigned char kOutside[4] = {192, 0, 2, 1};

}  // namespace

bool findRouteInterface(uint32_t* interfaceId) {
    IPAddr address;
    std::memcpy(&address, kOutside, sizeof address);
    DWORD index = 0;
    if (GetBestInterface(address, &index) != NO_ERROR) {
        return false;
    }
    *interfaceId = index;
    return true;
}

bool countInterfaces(uint32_t* count) {
    DWORD interfaces = 0;
    if (GetNumberOfInterfaces(&interfaces) != NO_ERROR) {
        return false;
    }
    *count = interfaces;
    return true;
}

bool readInterface(uint32_t interfaceId, InterfaceSample* sample) {
    if (!getIfEntry2Looked) {
        getIfEntry2 = systemFunction<GetIfEntry2Fn>(GetModuleHandleA("iphlpapi.dll"), "GetIfEntry2");
        getIfEntry2Looked = true;
    }
    if (getIfEntry2 != nullptr) {
        MIB_IF_ROW2 row;
        std::memset(&row, 0, sizeof row);
        row.InterfaceIndex = interfaceId;  // with a zero LUID, the index picks the row
        if (luidIndex == interfaceId) {
            row.InterfaceLuid.Value = luid;  // a LUID given picks the row
        }
        if (getIfEntry2(&row) != NO_ERROR) {
            luidIndex = 0;  // the next try goes by the index alone
            return false;
        }
        luidIndex = interfaceId;
        luid = row.InterfaceLuid.Value;
        sample->inOctets = row.InOctets;
        sample->outOctets = row.OutOctets;
        sample->wide = true;
        sample->speed = 0;
    } else {
        MIB_IFROW row;
        std::memset(&row, 0, sizeof row);
        row.dwIndex = interfaceId;
        if (GetIfEntry(&row) != NO_ERROR) {
            return false;
        }
        sample->inOctets = row.dwInOctets;
        sample->outOctets = row.dwOutOctets;
        sample->wide = false;
        sample->speed = row.dwSpeed;
    }
    sample->tickMs = GetTickCount();
    return true;
}

void releaseInterfaceTable() {
    std::free(table);
    table = nullptr;
    tableSize = 0;
    luidIndex = 0;
}

// ---- change notifications ----
//
// Vista and later call back on a thread of the system's for each change
// of an interface (NotifyIpInterfaceChange) or a route
// (NotifyRouteChange2); the callbacks only count. CancelMibChangeNotify2
// waits for a callback under way, so once it returns none runs in this
// DLL. XP has neither: there an overlapped NotifyAddrChange and
// NotifyRouteChange complete on a change and are asked again on the
// shell's thread; they are cancelled with CancelIo on the handle, from
// the thread that asked, as XP has no CancelIPChangeNotify.

namespace {

volatile LONG changesSeen = 0;

typedef DWORD(WINAPI* NotifyIpInterfaceChangeFn)(ADDRESS_FAMILY, PIPINTERFACE_CHANGE_CALLBACK,
                                                 PVOID, BOOLEAN, HANDLE*);
typedef DWORD(WINAPI* NotifyRouteChange2Fn)(ADDRESS_FAMILY, PIPFORWARD_CHANGE_CALLBACK, PVOID,
                                            BOOLEAN, HANDLE*);
typedef DWORD(WINAPI* CancelMibChangeNotify2Fn)(HANDLE);

CancelMibChangeNotify2Fn cancelMibChangeNotify2 = nullptr;
HANDLE interfaceNotification = nullptr;
HANDLE routeNotification = nullptr;
bool notifiedByCallbacks = false;

VOID WINAPI interfaceChanged(PVOID, PMIB_IPINTERFACE_ROW, MIB_NOTIFICATION_TYPE) {
    InterlockedIncrement(&changesSeen);
}

VOID WINAPI routeChanged(PVOID, PMIB_IPFORWARD_ROW2, MIB_NOTIFICATION_TYPE) {
    InterlockedIncrement(&changesSeen);
}

bool watchByCallbacks() {
    HMODULE iphlpapi = GetModuleHandleA("iphlpapi.dll");
    auto notifyInterface =
        systemFunction<NotifyIpInterfaceChangeFn>(iphlpapi, "NotifyIpInterfaceChange");
    auto notifyRoute = systemFunction<NotifyRouteChange2Fn>(iphlpapi, "NotifyRouteChange2");
    cancelMibChangeNotify2 =
        systemFunction<CancelMibChangeNotify2Fn>(iphlpapi, "CancelMibChangeNotify2");
    if (notifyInterface == nullptr || notifyRoute == nullptr || cancelMibChangeNotify2 == nullptr) {
        return false;
    }
    if (notifyInterface(AF_UNSPEC, interfaceChanged, nullptr, FALSE, &interfaceNotification) !=
        NO_ERROR) {
        return false;
    }
    // GetBestInterface answers for IPv4.
    if (notifyRoute(AF_INET, routeChanged, nullptr, FALSE, &routeNotification) != NO_ERROR) {
        cancelMibChangeNotify2(interfaceNotification);
        return false;
    }
    notifiedByCallbacks = true;
    return true;
}

// XP: one overlapped request per kind of change. On the heap: should a
// cancelled request never complete, the system may still write its
// status there, so the block is then left, not freed.
struct ChangeRequest {
    OVERLAPPED overlapped;
    HANDLE handle;  // iphlpapi's, not ours to close
    bool pending;
};
enum ChangeKind { AddressChange, RouteChange, ChangeKinds };
ChangeRequest* requests = nullptr;  // [ChangeKinds]

bool askForChange(int kind) {
    ChangeRequest& request = requests[kind];
    HANDLE event = request.overlapped.hEvent;
    ResetEvent(event);
    std::memset(&request.overlapped, 0, sizeof request.overlapped);
    request.overlapped.hEvent = event;
    // Pending until the system writes the outcome, however it issues the request.
    request.overlapped.Internal = STATUS_PENDING;
    HANDLE handle = nullptr;
    const DWORD result = kind == AddressChange ? NotifyAddrChange(&handle, &request.overlapped)
                                               : NotifyRouteChange(&handle, &request.overlapped);
    request.pending =
        result == ERROR_IO_PENDING && handle != nullptr && handle != INVALID_HANDLE_VALUE;
    if (request.pending) {
        request.handle = handle;
    }
    return request.pending;
}

void endRequests() {
    bool completed = true;
    for (int kind = 0; kind < ChangeKinds; ++kind) {
        if (requests[kind].pending) {
            CancelIo(requests[kind].handle);
        }
    }
    for (int kind = 0; kind < ChangeKinds; ++kind) {
        ChangeRequest& request = requests[kind];
        if (request.pending &&
            WaitForSingleObject(request.overlapped.hEvent, 5000) != WAIT_OBJECT_0) {
            completed = false;
        }
    }
    if (completed) {
        for (int kind = 0; kind < ChangeKinds; ++kind) {
            CloseHandle(requests[kind].overlapped.hEvent);
        }
        std::free(requests);
    }
    requests = nullptr;
}

bool watchByRequests() {
    requests = static_cast<ChangeRequest*>(std::calloc(ChangeKinds, sizeof(ChangeRequest)));
    if (requests == nullptr) {
        return false;
    }
    bool asked = true;
    for (int kind = 0; kind < ChangeKinds; ++kind) {
        requests[kind].overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        asked = asked && requests[kind].overlapped.hEvent != nullptr && askForChange(kind);
    }
    if (!asked) {
        endRequests();
    }
    return asked;
}

}  // namespace

bool watchInterfaces() {
    stopWatchingInterfaces();
    return watchByCallbacks() || watchByRequests();
}

uint32_t interfaceChanges() {
    if (requests != nullptr) {
        for (int kind = 0; kind < ChangeKinds; ++kind) {
            ChangeRequest& request = requests[kind];
            if (request.pending && HasOverlappedIoCompleted(&request.overlapped)) {
                request.pending = false;
                InterlockedIncrement(&changesSeen);
            }
            // Asked again at once; one that cannot be asked counts as a
            // change at every tick, so the interface is looked up each time.
            if (!request.pending && !askForChange(kind)) {
                InterlockedIncrement(&changesSeen);
            }
        }
    }
    return static_cast<uint32_t>(changesSeen);
}

void stopWatchingInterfaces() {
    if (notifiedByCallbacks) {
        cancelMibChangeNotify2(routeNotification);
        cancelMibChangeNotify2(interfaceNotification);
        notifiedByCallbacks = false;
    }
    if (requests != nullptr) {
        endRequests();
    }
}

namespace {

bool resolveHostAddress(char* text, size_t size) {
    char name[256] = {};
    if (gethostname(name, 255) != 0) {
        return false;
    }
    const hostent* host = gethostbyname(name);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list == nullptr ||
        host->h_addr_list[0] == nullptr) {
        return false;
    }
    in_addr address;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    const char* dotted = inet_ntoa(address);
    if (dotted == nullptr) {
        return false;
    }
    copyText(text, size, dotted);
    return true;
}

}  // namespace

bool readHostAddress(char* text, size_t size) {
    // Winsock counts its users in the whole process: each start has its
    // cleanup, so nothing stays started once the plugin is gone.
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        return false;
    }
    const bool found = resolveHostAddress(text, size);
    WSACleanup();
    return found;
}

bool readComputerName(char* text, size_t size) {
    DWORD length = static_cast<DWORD>(size);
    return GetComputerNameA(text, &length) != 0;
}

bool readUserName(char* text, size_t size) {
    DWORD length = static_cast<DWORD>(size);
    return GetUserNameA(text, &length) != 0;
}
