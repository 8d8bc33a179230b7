#include "metrics/network_native.h"

#include "format/text.h"

NetworkStandIn networkStandIn;

void releaseInterfaceTable() {}

namespace {

uint32_t rowsPresent() {
    const uint32_t room = sizeof networkStandIn.rows / sizeof networkStandIn.rows[0];
    return networkStandIn.rowCount < room ? networkStandIn.rowCount : room;
}

bool answer(const char* value, char* text, size_t size) {
    if (value == nullptr) {
        return false;
    }
    copyText(text, size, value);
    return true;
}

}  // namespace

bool locateInterface(int interfaceSetting, InterfaceLocation* where) {
    ++networkStandIn.tableReads;
    uint32_t row = 0;
    if (!chooseInterfaceRow(interfaceSetting, rowsPresent(), &row)) {
        return false;
    }
    where->row = row;
    where->interfaceId = networkStandIn.rows[row].interfaceId;
    return true;
}

bool findRouteInterface(uint32_t* interfaceId) {
    ++networkStandIn.routeLookups;
    *interfaceId = networkStandIn.routeInterface;
    return !networkStandIn.routeUnknown;
}

bool watchInterfaces() {
    ++networkStandIn.watches;
    return !networkStandIn.watchRefused;
}

uint32_t interfaceChanges() { return networkStandIn.changes; }

void stopWatchingInterfaces() { ++networkStandIn.watchStops; }

bool countInterfaces(uint32_t* count) {
    ++networkStandIn.counts;
    *count = networkStandIn.rowCount;
    return !networkStandIn.countUnknown;
}

bool readInterface(uint32_t interfaceId, InterfaceSample* sample) {
    ++networkStandIn.interfaceReads;
    for (uint32_t i = 0; i < rowsPresent(); ++i) {
        const InterfaceStandIn& row = networkStandIn.rows[i];
        if (row.interfaceId == interfaceId && !row.readFails) {
            sample->inOctets = row.inOctets;
            sample->outOctets = row.outOctets;
            sample->wide = networkStandIn.wide;
            sample->speed = networkStandIn.speed;
            sample->tickMs = networkStandIn.tickMs;
            return true;
        }
    }
    return false;
}

bool readComputerName(char* text, size_t size) {
    return answer(networkStandIn.computerName, text, size);
}

bool readUserName(char* text, size_t size) {
    return answer(networkStandIn.userName, text, size);
}

bool readHostAddress(char* text, size_t size) {
    return answer(networkStandIn.hostAddress, text, size);
}
