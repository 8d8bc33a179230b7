// The native build's interface table and identity, for tests.
#pragma once

#include "metrics/network.h"

struct NetworkStandIn {
    uint32_t rowCount;      // rows of the interface table; 0: no table
    InterfaceSample rows[4];
    int tableReads;
    const char* computerName;  // null: the query fails
    const char* userName;
    const char* hostAddress;
};

extern NetworkStandIn networkStandIn;
