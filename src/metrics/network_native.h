// The native build's interfaces and identity, for tests.
#pragma once

#include "metrics/network.h"

struct InterfaceStandIn {
    uint32_t interfaceId;
    uint64_t inOctets;
    uint64_t outOctets;
    bool readFails;
};

struct NetworkStandIn {
    uint32_t rowCount;      // rows of the interface table; 0: no table
    InterfaceStandIn rows[4];
    bool countUnknown;      // countInterfaces fails
    bool routeUnknown;      // no interface carries the default route
    uint32_t routeInterface;  // the one that does
    bool watchRefused;      // the system gives no change notification
    uint32_t changes;       // notified changes since the watch began
    bool wide;              // 64-bit counters
    uint64_t speed;         // the link's bits per second, reported with 32-bit ones
    uint32_t tickMs;
    const char* computerName;  // null: the query fails
    const char* userName;
    const char* hostAddress;
    // Calls made
    int tableReads;
    int counts;
    int interfaceReads;
    int routeLookups;
    int watches;      // watchInterfaces
    int watchStops;   // stopWatchingInterfaces
};

extern NetworkStandIn networkStandIn;
