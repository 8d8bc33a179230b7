// The native build's volumes, for tests: what each drive letter answers,
// and the letters asked, in order.
#pragma once

#include "metrics/disk.h"

struct DiskVolume {
    bool present;  // false: the query fails
    uint64_t freeToCaller;
    uint64_t total;
    uint64_t totalFree;
};

struct DiskStandIn {
    DiskVolume volumes[26];  // [letter - 'A']
    char queried[128];       // the letter of each query
    int queries;
    void (*during)(char letter);  // called in each query, on the querying thread
};

extern DiskStandIn diskStandIn;
