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
        if (getIfEntry2(&row) != NO_ERROR) {
            return false;
        }
        sample->inOctets = row.InOctets;
        sample->outOctets = row.OutOctets;
        sample->wide = true;
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
    }
    sample->tickMs = GetTickCount();
    return true;
}

void releaseInterfaceTable() {
    std::free(table);
    table = nullptr;
    tableSize = 0;
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
