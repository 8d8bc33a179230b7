#include "metrics/network.h"

#include "format/text.h"
#include "settings/settings.h"

namespace {

ThroughputState throughput;

// Empty until the first successful lookup or query.
char ipText[64];
char computerName[1024];
char userName[1024];

uint32_t kilobytesPerSecond(uint32_t bytes, uint32_t elapsedMs) {
    const uint64_t perSecond = static_cast<uint64_t>(bytes) * 1000u / elapsedMs;
    return static_cast<uint32_t>(perSecond >> 10);
}

}  // namespace

bool chooseInterfaceRow(int interfaceSetting, uint32_t rowCount, uint32_t* rowIndex) {
    if (interfaceSetting == 0) {
        if (rowCount == 0) {
            return false;
        }
        *rowIndex = 0;
        return true;
    }
    // Compared unsigned: a negative setting is a huge row number, never present.
    const auto wanted = static_cast<uint32_t>(interfaceSetting);
    if (wanted > rowCount) {
        return false;
    }
    *rowIndex = wanted - 1;
    return true;
}

bool advanceThroughput(ThroughputState* state, const InterfaceSample& sample, Throughput* rates) {
    const InterfaceSample previous = state->previous;
    if (!state->primed || previous.row != sample.row ||
        previous.interfaceId != sample.interfaceId) {
        state->primed = true;
        state->previous = sample;
        return false;
    }
    const uint32_t elapsedMs = sample.tickMs - previous.tickMs;
    if (elapsedMs == 0) {
        return false;  // keep the older baseline; the next tick covers the span
    }
    state->previous = sample;
    // 32-bit differences, so a counter that wrapped still counts right.
    rates->downloadKB = kilobytesPerSecond(sample.inOctets - previous.inOctets, elapsedMs);
    rates->uploadKB = kilobytesPerSecond(sample.outOctets - previous.outOctets, elapsedMs);
    return true;
}

void resetThroughput() {
    throughput = ThroughputState{};
}

void updateNetwork() {
    InterfaceSample sample;
    Throughput rates;
    if (!readInterfaceRow(settings.networkInterface, &sample) ||
        !advanceThroughput(&throughput, sample, &rates)) {
        return;
    }
    writeSegmentf(slotOf(SlotDownload), "%uKB", static_cast<unsigned>(rates.downloadKB));
    writeSegmentf(slotOf(SlotUpload), "%uKB", static_cast<unsigned>(rates.uploadKB));
}

void lookupIpAddress() {
    char text[sizeof ipText];
    if (readHostAddress(text, sizeof text)) {
        copyText(ipText, sizeof ipText, text);
    }
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
