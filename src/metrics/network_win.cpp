#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "format/text.h"
#include "metrics/network.h"

namespace {

MIB_IFTABLE* table = nullptr;
ULONG tableSize = 0;  // bytes allocated at `table`
bool winsockStarted = false;

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

bool readInterfaceRow(int interfaceSetting, InterfaceSample* sample) {
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
    const MIB_IFROW& chosen = table->table[row];
    sample->row = row;
    sample->interfaceId = chosen.dwIndex;
    sample->inOctets = chosen.dwInOctets;
    sample->outOctets = chosen.dwOutOctets;
    sample->tickMs = GetTickCount();
    return true;
}

bool readHostAddress(char* text, size_t size) {
    if (!winsockStarted) {
        WSADATA data;
        if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
            return false;
        }
        winsockStarted = true;
    }
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

bool readComputerName(char* text, size_t size) {
    DWORD length = static_cast<DWORD>(size);
    return GetComputerNameA(text, &length) != 0;
}

bool readUserName(char* text, size_t size) {
    DWORD length = static_cast<DWORD>(size);
    return GetUserNameA(text, &length) != 0;
}
