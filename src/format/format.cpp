#include "format/format.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

FormatEngine formatEngine;
char scratchText[kTextSize];

namespace {

struct TokenInfo {
    char first;
    char second;
    MetricSlot slot;
    int size;
    const char* initialText;
};

// Two-letter codes: the segment size bounds what the updater writes.
constexpr TokenInfo kTokens[] = {
    {'C', 'P', SlotCpuLoad, 10, "cpu"},
    {'C', 'N', SlotProcessCount, 10, "procnum"},
    {'R', 'P', SlotPhysicalPercent, 10, "phy"},
    {'R', 'T', SlotPhysicalTotal, 10, "phy"},
    {'R', 'F', SlotPhysicalFree, 10, "phy"},
    {'R', 'U', SlotPhysicalUsed, 10, "phy"},
    {'S', 'P', SlotSwapPercent, 10, "swp"},
    {'S', 'T', SlotSwapTotal, 10, "swp"},
    {'S', 'F', SlotSwapFree, 10, "swp"},
    {'S', 'U', SlotSwapUsed, 10, "swp"},
    {'B', 'P', SlotBatteryPercent, 16, "bat"},
    {'B', 'L', SlotBatteryLifetime, 16, "lifetime"},
    {'I', 'D', SlotDownload, 16, "0KB"},
    {'I', 'U', SlotUpload, 16, "0KB"},
    {'N', 'P', SlotIpAddress, 0, nullptr},
    {'N', 'U', SlotUserName, 0, nullptr},
    {'N', 'W', SlotComputerName, 0, nullptr},
    {'U', 'W', SlotUptimeWeeks, 25, "uptime"},
    {'U', 'D', SlotUptimeDays, 25, "uptime"},
    {'U', 'H', SlotUptimeHours, 25, "uptime"},
    {'T', 'L', SlotLocalTime, 1024, "localtime"},
    {'T', 'U', SlotUniversalTime, 1024, "universaltime"},
    {'P', 'M', SlotHostPhysical, 16, "procmem"},
    {'P', 'N', SlotHostPeakPhysical, 16, "procmem"},
    {'P', 'S', SlotHostSwap, 16, "procmem"},
    {'P', 'T', SlotHostPeakSwap, 16, "procmem"},
    {'P', 'G', SlotHostGdi, 16, "procgdi"},
};

constexpr int kTemperatureSize = 10;
constexpr int kDiskSize = 16;

const TokenInfo* findToken(char first, char second) {
    for (const TokenInfo& token : kTokens) {
        if (token.first == first && token.second == second) {
            return &token;
        }
    }
    return nullptr;
}

int diskKindOf(char c) {
    switch (c) {
        case 'F':
            return DiskFree;
        case 'T':
            return DiskTotal;
        case 'U':
            return DiskUsed;
        case 'P':
            return DiskFreePercent;
        case 'Q':
            return DiskUsedPercent;
        default:
            return -1;
    }
}

bool isUptimeSlot(MetricSlot slot) {
    return slot == SlotUptimeWeeks || slot == SlotUptimeDays || slot == SlotUptimeHours;
}

// Appends a segment of `size` bytes holding `text` (cut to fit). Returns
// its index, or -1 when the table is full or memory ran out: the metric
// then simply has no segment, and nothing past the table is written.
int appendSegment(const char* text, size_t length, int size) {
    FormatEngine& fe = formatEngine;
    if (fe.segmentCount >= kMaxSegments || size <= 0) {
        return -1;
    }
    char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
    if (buffer == nullptr) {
        return -1;
    }
    size_t copy = length < static_cast<size_t>(size - 1) ? length : static_cast<size_t>(size - 1);
    std::memcpy(buffer, text, copy);
    buffer[copy] = '\0';
    const int index = fe.segmentCount++;
    fe.segments[index] = buffer;
    fe.segmentSizes[index] = size;
    return index;
}

void appendLiteral(const char* text, size_t length) {
    appendSegment(text, length, static_cast<int>(length + 1));
}

const char* identityFor(MetricSlot slot, const IdentityTexts& identity) {
    const char* text = nullptr;
    switch (slot) {
        case SlotIpAddress:
            text = identity.ipAddress;
            break;
        case SlotUserName:
            text = identity.userName;
            break;
        case SlotComputerName:
            text = identity.computerName;
            break;
        default:
            break;
    }
    return text ? text : "";
}

void compileMetric(const TokenInfo& token, const IdentityTexts& identity) {
    FormatEngine& fe = formatEngine;
    if (isUptimeSlot(token.slot)) {
        if (fe.slots[SlotUptimeWeeks] != -1 || fe.slots[SlotUptimeDays] != -1 ||
            fe.slots[SlotUptimeHours] != -1) {
            return;
        }
    } else if (fe.slots[token.slot] != -1) {
        return;
    }
    if (token.initialText == nullptr) {
        const char* text = identityFor(token.slot, identity);
        const size_t length = std::strlen(text);
        // Identity texts are sized to fit, but never beyond one display text.
        const size_t capped = length < kTextSize - 1 ? length : kTextSize - 1;
        fe.slots[token.slot] = appendSegment(text, capped, static_cast<int>(capped + 1));
        return;
    }
    fe.slots[token.slot] =
        appendSegment(token.initialText, std::strlen(token.initialText), token.size);
}

void compileDisk(int kind, char letter) {
    FormatEngine& fe = formatEngine;
    int& slot = fe.diskSlots[kind][letter - 'A'];
    if (slot != -1) {
        return;
    }
    const char* initial = kind == DiskFree ? "-" : "--";
    slot = appendSegment(initial, std::strlen(initial), kDiskSize);
    if (slot != -1) {
        ++fe.driveTokenCount;
    }
}

// One piece: the text between two '%' runs, starting with its code.
void compilePiece(const char* piece, size_t length, const IdentityTexts& identity) {
    FormatEngine& fe = formatEngine;
    const char first = piece[0];
    const char second = length > 1 ? piece[1] : '\0';
    size_t codeLength = 0;

    switch (first) {
        case 'H':
            codeLength = 1;
            if (fe.slots[SlotDriveTemperature] == -1) {
                fe.slots[SlotDriveTemperature] =
                    appendSegment("hdtemp", 6, kTemperatureSize);
            }
            break;
        case 'D': {
            const int kind = diskKindOf(second);
            if (kind < 0) {
                codeLength = 1;
                break;
            }
            const char letter = length > 2 ? piece[2] : '\0';
            if (letter < 'A' || letter > 'Z') {
                appendLiteral(piece, length);
                return;
            }
            codeLength = 3;
            compileDisk(kind, letter);
            break;
        }
        case 'B':
        case 'C':
        case 'I':
        case 'N':
        case 'P':
        case 'R':
        case 'S':
        case 'T':
        case 'U': {
            const TokenInfo* token = findToken(first, second);
            if (token == nullptr) {
                codeLength = 1;
                break;
            }
            codeLength = 2;
            compileMetric(*token, identity);
            break;
        }
        default:
            appendLiteral(piece, length);
            return;
    }
    if (length > codeLength) {
        appendSegment(piece + codeLength, length - codeLength, static_cast<int>(length + 1));
    }
}

}  // namespace

void resetSegments() {
    FormatEngine& fe = formatEngine;
    for (int i = 0; i < kMaxSegments; ++i) {
        fe.segments[i] = nullptr;
        fe.segmentSizes[i] = 0;
    }
    fe.segmentCount = 0;
    fe.driveTokenCount = 0;
    fe.parsePosition = 0;
    for (int& slot : fe.slots) {
        slot = -1;
    }
    for (auto& kind : fe.diskSlots) {
        for (int& slot : kind) {
            slot = -1;
        }
    }
    fe.displayText[0] = '\0';
}

void freeSegments() {
    FormatEngine& fe = formatEngine;
    for (int i = 0; i < fe.segmentCount && i < kMaxSegments; ++i) {
        std::free(fe.segments[i]);
        fe.segments[i] = nullptr;
    }
    resetSegments();
}

void compileFormat(const char* format, const IdentityTexts& identity) {
    FormatEngine& fe = formatEngine;
    copyText(scratchText, sizeof scratchText, format);
    const char* text = scratchText;
    size_t position = 0;

    // Pieces are the runs between '%' characters; empty runs (leading,
    // trailing or doubled '%') yield nothing.
    bool firstPiece = true;
    while (text[position] != '\0') {
        const bool afterPercent = text[position] == '%';
        while (text[position] == '%') {
            ++position;
        }
        if (text[position] == '\0') {
            break;
        }
        const size_t start = position;
        while (text[position] != '\0' && text[position] != '%') {
            ++position;
        }
        const size_t length = position - start;
        if (firstPiece && !afterPercent) {
            appendLiteral(text + start, length);
        } else {
            compilePiece(text + start, length, identity);
        }
        fe.parsePosition = static_cast<int>(position);
        firstPiece = false;
    }
}

void applyEscapes() {
    FormatEngine& fe = formatEngine;
    fe.multiLine = false;
    for (int i = 0; i < kMaxSegments && fe.segments[i] != nullptr; ++i) {
        char* s = fe.segments[i];
        size_t k = 0;
        while (s[k] != '\0') {
            if (s[k] != '\\') {
                ++k;
                continue;
            }
            size_t end = k;
            while (s[end] == '\\') {
                ++end;
            }
            if (s[end] == '\0') {
                break;  // a trailing run stays as it is
            }
            // Only the last backslash of a run pairs with the letter.
            const size_t p = end - 1;
            if (s[end] == 't') {
                s[p] = '\t';
                s[end] = ' ';
            } else if (s[end] == 'n') {
                s[p] = '\r';
                s[end] = '\n';
                fe.multiLine = true;
            }
            k = end + 1;
        }
    }
}

void assembleDisplayText() {
    FormatEngine& fe = formatEngine;
    size_t used = 0;
    fe.displayText[0] = '\0';
    for (int i = 0; i < fe.segmentCount && i < kMaxSegments; ++i) {
        const char* segment = fe.segments[i];
        if (segment == nullptr) {
            continue;
        }
        // Cut at the buffer's end: the clock segments alone may exceed it.
        while (*segment != '\0' && used < sizeof fe.displayText - 1) {
            fe.displayText[used++] = *segment++;
        }
        fe.displayText[used] = '\0';
        if (used == sizeof fe.displayText - 1) {
            break;
        }
    }
}

int slotOf(MetricSlot slot) {
    if (slot < 0 || slot >= SlotCount) {
        return -1;
    }
    return formatEngine.slots[slot];
}

int diskSlotOf(DiskKind kind, char letter) {
    if (kind < 0 || kind >= DiskKindCount || letter < 'A' || letter > 'Z') {
        return -1;
    }
    return formatEngine.diskSlots[kind][letter - 'A'];
}

void writeSegment(int index, const char* text) {
    FormatEngine& fe = formatEngine;
    if (index < 0 || index >= fe.segmentCount || index >= kMaxSegments) {
        return;
    }
    char* segment = fe.segments[index];
    if (segment == nullptr || fe.segmentSizes[index] <= 0) {
        return;
    }
    copyText(segment, static_cast<size_t>(fe.segmentSizes[index]), text);
}

void writeSegmentf(int index, const char* format, ...) {
    char text[kTextSize];
    va_list args;
    va_start(args, format);
    formatTextV(text, sizeof text, format, args);
    va_end(args);
    writeSegment(index, text);
}
