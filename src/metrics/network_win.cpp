#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "metrics/network.h"
#include "settings/settings.h"

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

void updateNetwork() {
    if (!readTable()) {
        return;
    }
    uint32_t row = 0;
    if (!chooseInterfaceRow(settings.networkInterface, table->dwNumEntries, &row)) {
        return;
    }
    const size_t end = offsetof(MIB_IFTABLE, table) + (static_cast<size_t>(row) + 1) * sizeof(MIB_IFROW);
    if (end > tableSize) {
        return;
    }
    const MIB_IFROW* rows = table->table;
    InterfaceSample sample;
    sample.row = row;
    sample.interfaceId = rows[row].dwIndex;
    sample.inOctets = rows[row].dwInOctets;
    sample.outOctets = rows[row].dwOutOctets;
    sample.tickMs = GetTickCount();
    applyInterfaceSample(sample);
}

void lookupIpAddress() {
    if (!winsockStarted) {
        WSADATA data;
        if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
            return;
        }
        winsockStarted = true;
    }
    char name[256] = {};
    if (gethostname(name, 255) != 0) {
        return;
    }
    const hostent* host = gethostbyname(name);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_addr_list == nullptr ||
        host->h_addr_list[0] == nullptr) {
        return;
    }
    in_addr address;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    const char* text = inet_ntoa(address);
    if (text != nullptr) {
        storeIpAddress(text);
    }
}

void refreshIdentity() {
    char text[1024];
    DWORD size = sizeof text;
    if (GetComputerNameA(text, &size)) {
        storeComputerName(text);
    }
    size = sizeof text;
    if (GetUserNameA(text, &size)) {
        storeUserName(text);
    }
    lookupIpAddress();
}
