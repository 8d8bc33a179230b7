// The format compiler, escapes and display text. Input: the format, then
// NUL-separated texts: the IP address, user and computer names, then
// metric texts whose first byte picks the segment they are written to.
#include <algorithm>

#include "fuzz.h"
#include "metrics/disk.h"

namespace {

// 1..28: metric slots; then the disk slots; the rest raw indexes up to
// past the table (unused slots give -1 already).
int pickSegment(unsigned char pick) {
    if (pick <= SlotCount) {
        return slotOf(static_cast<MetricSlot>(pick - 1));
    }
    const int disk = pick - SlotCount - 1;
    if (disk < DiskKindCount * kDriveLetters) {
        return diskSlotOf(static_cast<DiskKind>(disk % DiskKindCount),
                          static_cast<char>('A' + disk / DiskKindCount));
    }
    return pick - 150;
}

void checkSegments() {
    const FormatEngine& fe = formatEngine;
    FUZZ_CHECK(fe.segmentCount >= 0 && fe.segmentCount <= kMaxSegments);
    for (int i = 0; i < fe.segmentCount; ++i) {
        FUZZ_CHECK(fe.segments[i] != nullptr && fe.segmentSizes[i] > 0);
        FUZZ_CHECK(terminatedWithin(fe.segments[i], static_cast<size_t>(fe.segmentSizes[i])));
    }
}

// The display text is the segments in order, but for the hidden ones of
// graphs and meters, cut to its buffer.
void checkDisplayText() {
    std::string expected;
    for (int i = 0; i < formatEngine.segmentCount; ++i) {
        if (formatEngine.forms[i] != Form::Hidden) {
            expected += formatEngine.segments[i];
        }
    }
    expected.resize(std::min(expected.size(), static_cast<size_t>(kTextSize - 1)));
    FUZZ_CHECK(expected == formatEngine.displayText);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = splitAtNul(data, size);
    auto part = [&parts](size_t i) { return i < parts.size() ? parts[i].c_str() : ""; };

    freeSegments();
    compileFormat(part(0), IdentityTexts{part(1), part(2), part(3)});
    applyEscapes();
    checkSegments();
    paintNatively();
    checkDisplayText();

    for (size_t i = 4; i < parts.size(); ++i) {
        if (parts[i].empty()) {
            continue;
        }
        const int index = pickSegment(static_cast<unsigned char>(parts[i][0]));
        if (i % 2 == 0) {
            writeSegment(index, parts[i].c_str() + 1);
        } else {
            writeSegmentf(index, "%s", parts[i].c_str() + 1);
        }
    }
    checkSegments();
    paintNatively();
    checkDisplayText();
    freeSegments();
    freeGraphHistories();
    return 0;
}
