// %ID %IU throughput, and the identity texts behind %NP %NU %NW.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/format.h"

constexpr MetricSlot SlotDownload = metricSlot("ID");
constexpr MetricSlot SlotUpload = metricSlot("IU");
constexpr MetricSlot SlotIpAddress = metricSlot("NP");
constexpr MetricSlot SlotUserName = metricSlot("NU");
constexpr MetricSlot SlotComputerName = metricSlot("NW");

void updateNetwork();
void lookupIpAddress();
// Computer name, user name, then lookupIpAddress.
void refreshIdentity();
// The current identity texts, for compileFormat.
IdentityTexts identityTexts();

// The row (from 0) that the `interface` setting selects in a table of
// `rowCount` rows: 0 picks the first row, n picks row n. False when there
// is no such row.
bool chooseInterfaceRow(int interfaceSetting, uint32_t rowCount, uint32_t* rowIndex);

// One reading of the selected interface row.
struct InterfaceSample {
    uint32_t row;          // position in the table
    uint32_t interfaceId;  // the row's interface index
    uint32_t inOctets;
    uint32_t outOctets;
    uint32_t tickMs;       // GetTickCount-style, wraps every 49.7 days
};

struct ThroughputState {
    bool primed;
    InterfaceSample previous;
};

// Kilobytes per second since the previous sample.
struct Throughput {
    uint32_t downloadKB;
    uint32_t uploadKB;
};

// Feeds one sample. False when there is nothing to show yet: the first
// sample, a different row or interface (its counters are not comparable,
// so they become the new baseline), or no time passed since the last one.
bool advanceThroughput(ThroughputState* state, const InterfaceSample& sample, Throughput* rates);

// Forgets the previous sample: the next one is a first reading.
void resetThroughput();

// Platform side (network_win.cpp; a stand-in natively).
// The row the `interface` setting selects in the interface table, with the
// tick count of the reading; false when there is no table or no such row.
bool readInterfaceRow(int interfaceSetting, InterfaceSample* sample);
// Each false, with `text` untouched, when the system cannot answer.
bool readComputerName(char* text, size_t size);
bool readUserName(char* text, size_t size);
// The dotted quad of the host name's first IPv4 address.
bool readHostAddress(char* text, size_t size);
