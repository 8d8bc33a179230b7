#include "metrics/network.h"

#include "format/text.h"
#include "settings/settings.h"
#include "worker/worker.h"

namespace {

ThroughputState throughput;

// How changes of the interface table reach us: notified by Windows, or,
// where it gives no notification, seen in the number of interfaces,
// asked every tick.
enum class Watch { NotAsked, Notified, Polled };
Watch watch = Watch::NotAsked;

// The interface the setting picked when it was last looked up, and what
// the table looked like then: a change means the rows may have moved, or
// the route gone elsewhere.
struct InterfaceCache {
    bool valid;
    int setting;
    uint32_t interfaces;  // polled: the number of interfaces
    uint32_t changes;     // notified: the changes counted
    InterfaceLocation where;
};
InterfaceCache cache;

// Empty until the first successful lookup or query.
char ipText[64];
char computerName[1024];
char userName[1024];

uint32_t kilobytesPerSecond(uint64_t bytes, uint32_t elapsedMs) {
    // bytes * 1000 fits 64 bits for any real link; beyond, divide first.
    const uint64_t perSecond =
        bytes <= UINT64_MAX / 1000u ? bytes * 1000u / elapsedMs : bytes / elapsedMs * 1000u;
    const uint64_t kilobytes = perSecond >> 10;
    return kilobytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(kilobytes);
}

uint64_t counted(uint64_t now, uint64_t before, bool wide) {
    // 32-bit counters: a 32-bit difference, so one that wrapped counts right.
    return wide ? now - before : static_cast<uint32_t>(now - before);
}

bool locate() {
    cache.valid = false;
    if (watch == Watch::NotAsked) {
        watch = watchInterfaces() ? Watch::Notified : Watch::Polled;
    }
    // Taken before the lookup: a change while it runs shows at the next tick.
    uint32_t interfaces = 0;
    if (watch == Watch::Notified) {
        cache.changes = interfaceChanges();
    } else if (!countInterfaces(&interfaces)) {
        interfaces = 0;
    }
    const int setting = settings.networkInterface;
    if (setting == kAutoInterface) {
        uint32_t id = 0;
        if (!findRouteInterface(&id)) {
            return false;
        }
        cache.where = InterfaceLocation{kRouteRow, id};
    } else if (!locateInterface(setting, &cache.where)) {
        return false;
    }
    cache.valid = true;
    cache.setting = setting;
    cache.interfaces = interfaces;
    return true;
}

bool stale() {
    if (!cache.valid || cache.setting != settings.networkInterface) {
        return true;
    }
    if (watch == Watch::Notified) {
        return interfaceChanges() != cache.changes;
    }
    uint32_t interfaces = 0;
    return countInterfaces(&interfaces) && interfaces != cache.interfaces;
}

// No interface for the setting (Auto without a connection, no such row,
// one that went away): nothing flows, rather than the last figure forever.
void showNoTraffic() {
    throughput.primed = false;
    writeSegment(slotOf(SlotDownload), "0KB");
    writeSegment(slotOf(SlotUpload), "0KB");
    writeValue(slotOf(SlotDownload), 0);
    writeValue(slotOf(SlotUpload), 0);
}

// The lookup of the host's address: nothing to ask but the system.
struct HostAddressWork {
    bool found;
    char text[64];
};

void runHostAddress(Work* work) {
    HostAddressWork& address = workData<HostAddressWork>(work);
    address.found = readHostAddress(address.text, sizeof address.text);
}

void applyHostAddress(const Work& work) {
    const HostAddressWork& address = workData<HostAddressWork>(work);
    if (address.found) {
        copyText(ipText, sizeof ipText, address.text);
        writeSegment(slotOf(SlotIpAddress), ipText);
    }
}

const WorkKind kHostAddressWork = {runHostAddress, applyHostAddress};

}  // namespace

bool chooseInterfaceRow(int interfaceSetting, uint32_t rowCount, uint32_t* rowIndex) {
    if (interfaceSetting < 0) {
        return false;
    }
    if (interfaceSetting == 0) {
        if (rowCount == 0) {
            return false;
        }
        *rowIndex = 0;
        return true;
    }
    const auto wanted = static_cast<uint32_t>(interfaceSetting);
    if (wanted > rowCount) {
        return false;
    }
    *rowIndex = wanted - 1;
    return true;
}

bool counterWentOn(uint64_t before, uint64_t now, bool wide, uint64_t speed, uint32_t elapsedMs) {
    if (now >= before) {
        return true;
    }
    if (wide || elapsedMs == 0) {
        return false;
    }
    // The bits a wrap implies, per second, against the link's own speed.
    const uint64_t wrapped = static_cast<uint32_t>(now - before);
    const uint64_t bitsPerSecond = wrapped * 8000u / elapsedMs;
    return bitsPerSecond <= (speed != 0 ? speed : kFastestLink);
}

bool advanceThroughput(ThroughputState* state, const InterfaceSample& sample,
                       uint32_t shortestSpanMs, Throughput* rates) {
    const InterfaceSample previous = state->previous;
    if (!state->primed || previous.row != sample.row ||
        previous.interfaceId != sample.interfaceId || previous.wide != sample.wide) {
        state->primed = true;
        state->previous = sample;
        return false;
    }
    const uint32_t elapsedMs = sample.tickMs - previous.tickMs;
    if (elapsedMs == 0 || elapsedMs < shortestSpanMs) {
        return false;  // keep the older baseline; the next tick covers the span
    }
    state->previous = sample;
    if (!counterWentOn(previous.inOctets, sample.inOctets, sample.wide, sample.speed, elapsedMs) ||
        !counterWentOn(previous.outOctets, sample.outOctets, sample.wide, sample.speed,
                       elapsedMs)) {
        return false;  // counters that started again: this sample is the new baseline
    }
    rates->downloadKB =
        kilobytesPerSecond(counted(sample.inOctets, previous.inOctets, sample.wide), elapsedMs);
    rates->uploadKB =
        kilobytesPerSecond(counted(sample.outOctets, previous.outOctets, sample.wide), elapsedMs);
    return true;
}

void restartNetwork() {
    throughput = ThroughputState{};
    cache = InterfaceCache{};
}

void endNetwork() {
    if (watch != Watch::NotAsked) {
        stopWatchingInterfaces();
    }
    watch = Watch::NotAsked;
    releaseInterfaceTable();
    restartNetwork();
}

void updateNetwork() {
    const bool lookedUp = stale();
    if (lookedUp && !locate()) {
        showNoTraffic();
        return;
    }
    InterfaceSample sample{};
    if (!readInterface(cache.where.interfaceId, &sample)) {
        // The interface went away or its index changed: look it up once more.
        if (lookedUp || !locate() || !readInterface(cache.where.interfaceId, &sample)) {
            showNoTraffic();
            return;
        }
    }
    sample.row = cache.where.row;
    sample.interfaceId = cache.where.interfaceId;
    Throughput rates;
    // A refresh just after a tick (a command) measures too short a span.
    const uint32_t shortestSpanMs = timerPeriodMs(settings.mainInterval) / 2;
    if (!advanceThroughput(&throughput, sample, shortestSpanMs, &rates)) {
        return;
    }
    writeSegmentf(slotOf(SlotDownload), "%uKB", static_cast<unsigned>(rates.downloadKB));
    writeSegmentf(slotOf(SlotUpload), "%uKB", static_cast<unsigned>(rates.uploadKB));
    writeValue(slotOf(SlotDownload), rates.downloadKB);
    writeValue(slotOf(SlotUpload), rates.uploadKB);
}

void lookupIpAddress() {
    Work work;
    clearWork(&work, kHostAddressWork);
    requestWork(work);
}

void refreshIdentity() {
    char text[sizeof computerName];
    if (readComputerName(text, sizeof text)) {
        copyText(computerName, sizeof computerName, text);
    }
    if (readUserName(text, sizeof text)) {
        copyText(userName, sizeof userName, text);
    }
    lookupIpAddress();
}

IdentityTexts identityTexts() {
    IdentityTexts texts;
    texts.ipAddress = ipText;
    texts.userName = userName;
    texts.computerName = computerName;
    return texts;
}

void resetIdentity() {
    ipText[0] = '\0';
    computerName[0] = '\0';
    userName[0] = '\0';
}
