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

// Reads the one interface the `interface` setting picks and writes %ID
// and %IU. The interface is looked up again only when the setting
// changed, Windows notified a change of the interfaces, their addresses
// or the routes (without notifications: when the number of interfaces
// changed), or its own query failed.
void updateNetwork();
// The next reading is a first one, and the interface is looked up again.
void restartNetwork();
// endPlugin: ends the change notifications, each callback finished, and
// frees what reading the interfaces keeps.
void endNetwork();
// Hands the worker a lookup of the host's address (a broken name service
// can take seconds); the answer goes into %NP.
void lookupIpAddress();
// Computer name, user name, then lookupIpAddress.
void refreshIdentity();
// The current identity texts, for compileFormat.
IdentityTexts identityTexts();
// Forgets the identity texts found, as at start-up.
void resetIdentity();

// The row (from 0) that a row setting (0 and up) selects in a table of
// `rowCount` rows: 0 picks the first row, n picks row n. False when there
// is no such row, and for Auto, which is no row.
bool chooseInterfaceRow(int interfaceSetting, uint32_t rowCount, uint32_t* rowIndex);

// The row of an interface Auto found: it follows the route, not a row.
constexpr uint32_t kRouteRow = 0xFFFFFFFFu;

// One reading of the selected interface.
struct InterfaceSample {
    uint32_t row;          // position in the table, or kRouteRow
    uint32_t interfaceId;  // the row's interface index
    uint64_t inOctets;
    uint64_t outOctets;
    uint32_t tickMs;       // GetTickCount-style, wraps every 49.7 days
    bool wide;             // 64-bit counters; 32-bit ones wrap every 4 GiB
    uint64_t speed;        // 32-bit counters: the link's bits per second, 0 unknown
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

// Assumed for a link that reports no speed: 10 Gbit/s.
constexpr uint64_t kFastestLink = 10000000000ull;

// Whether a counter went on from `before` to `now` over `elapsedMs`
// rather than starting again from 0 (an adapter disabled and enabled, a
// driver reset). A 64-bit counter below its last count started again; a
// 32-bit one below it wrapped only when the bytes that implies fit
// `speed` (bits per second; 0: kFastestLink) over the span.
bool counterWentOn(uint64_t before, uint64_t now, bool wide, uint64_t speed, uint32_t elapsedMs);

// Feeds one sample. False when there is nothing to show yet: the first
// sample, a different row, interface or counter width, or counters that
// started again (none of these are comparable, so the sample becomes the
// new baseline), or a span shorter than `shortestSpanMs` since the last
// one (a refresh right after a command: a few bytes in a few
// milliseconds would show as a spike), which keeps the older baseline
// for the next tick.
bool advanceThroughput(ThroughputState* state, const InterfaceSample& sample,
                       uint32_t shortestSpanMs, Throughput* rates);

// Where the `interface` setting points.
struct InterfaceLocation {
    uint32_t row;
    uint32_t interfaceId;
};

// Platform side (network_win.cpp; a stand-in natively).
// Reads the whole interface table once to find the row a row setting
// chooses; false when there is no table or no such row.
bool locateInterface(int interfaceSetting, InterfaceLocation* where);
// The interface that carries the default route: the one Windows would
// send to an address outside every local network through. False when
// there is none (no connection).
bool findRouteInterface(uint32_t* interfaceId);
// The number of interfaces, without reading the table; false when unknown.
bool countInterfaces(uint32_t* count);
// Asks Windows to notify changes of the interfaces, their addresses and
// the routes; false when it gives no notification.
bool watchInterfaces();
// The changes notified since watchInterfaces, counted; cheap enough for
// every tick.
uint32_t interfaceChanges();
// Ends the notifications: once it returns, no callback runs or is still
// running, so the DLL can go.
void stopWatchingInterfaces();
// One interface's counters and the tick count, 64-bit where the system
// has them; false when the interface cannot be read.
bool readInterface(uint32_t interfaceId, InterfaceSample* sample);
// Frees what reading the table keeps between readings.
void releaseInterfaceTable();
// Each false, with `text` untouched, when the system cannot answer.
bool readComputerName(char* text, size_t size);
bool readUserName(char* text, size_t size);
// The dotted quad of the host name's first IPv4 address.
bool readHostAddress(char* text, size_t size);
