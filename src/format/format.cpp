#include "format/format.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "format/history.h"

FormatEngine formatEngine;
char scratchText[kTextSize];

namespace {

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
    fe.segmentTokens[index] = -1;
    fe.hasValue[index] = false;
    fe.forms[index] = Form::Text;
    fe.letters[index] = '\0';
    fe.formWidths[index] = 0;
    fe.formSources[index] = -1;
    fe.histories[index] = -1;
    return index;
}

void appendLiteral(const char* text, size_t length) {
    appendSegment(text, length, static_cast<int>(length + 1));
}

size_t codeLength(const MetricToken& token) {
    return token.code[1] == '\0' ? 1 : 2;
}

// The row whose code starts the piece, the longer code winning; -1 when
// none does.
int findToken(const char* piece, size_t length) {
    int found = -1;
    for (int i = 0; i < SlotCount; ++i) {
        const char* code = kMetricTokens[i].code;
        const size_t codeLength = code[1] == '\0' ? 1 : 2;
        if (codeLength <= length && piece[0] == code[0] && (codeLength == 1 || piece[1] == code[1]) &&
            (found < 0 || codeLength == 2)) {
            found = i;
        }
    }
    return found;
}

bool isFirstLetterOfACode(char c) {
    for (const MetricToken& token : kMetricTokens) {
        if (token.code[0] == c) {
            return true;
        }
    }
    return false;
}

bool uptimeShown() {
    for (int i = 0; i < SlotCount; ++i) {
        if (kMetricTokens[i].place == Place::Uptime && formatEngine.slots[i] != -1) {
            return true;
        }
    }
    return false;
}

// The metric's segment at its first occurrence; nothing when it has one.
// Returns the segment made, or -1.
int compileMetric(MetricSlot slot, char letter, const IdentityTexts& identity) {
    FormatEngine& fe = formatEngine;
    const MetricToken& token = kMetricTokens[slot];
    int& index = token.place == Place::PerDrive ? fe.driveSlots[slot][letter - 'A'] : fe.slots[slot];
    if (index != -1 || (token.place == Place::Uptime && uptimeShown())) {
        return -1;
    }
    if (token.identity != nullptr) {
        const char* text = identity.*token.identity;
        text = text ? text : "";
        const size_t length = std::strlen(text);
        // Identity texts are sized to fit, but never beyond one display text;
        // one that may arrive later has room for it.
        const size_t capped = length < kTextSize - 1 ? length : kTextSize - 1;
        const int size = static_cast<int>(capped + 1);
        index = appendSegment(text, capped, size > token.size ? size : token.size);
    } else {
        index = appendSegment(token.initialText, std::strlen(token.initialText), token.size);
    }
    if (index == -1) {
        return -1;
    }
    fe.segmentTokens[index] = slot;
    if (token.place == Place::PerDrive) {
        fe.letters[index] = letter;
        ++fe.driveTokenCount;
    }
    fe.updaters |= 1u << token.updater;
    return index;
}

bool formShown(Form form, MetricSlot slot, char letter) {
    const FormatEngine& fe = formatEngine;
    for (int i = 0; i < fe.segmentCount && i < kMaxSegments; ++i) {
        if (fe.forms[i] == form && fe.segmentTokens[i] == slot && fe.letters[i] == letter) {
            return true;
        }
    }
    return false;
}

// "G" or "M", a code drawn to scale with its drive letter where it takes
// one, then up to three digits of width; the rest of the piece is text.
// False, with nothing compiled, for any other piece.
bool compileForm(const char* piece, size_t length) {
    if (length < 2 || (piece[0] != 'G' && piece[0] != 'M')) {
        return false;
    }
    const int slot = findToken(piece + 1, length - 1);
    if (slot < 0 || !drawnToScale(kMetricTokens[slot].unit)) {
        return false;
    }
    const MetricToken& token = kMetricTokens[slot];
    size_t used = 1 + codeLength(token);
    char letter = '\0';
    if (token.place == Place::PerDrive) {
        letter = used < length ? piece[used] : '\0';
        if (letter < 'A' || letter > 'Z') {
            return false;
        }
        ++used;
    }
    int width = 0;
    int digits = 0;
    while (digits < 3 && used < length && piece[used] >= '0' && piece[used] <= '9') {
        width = width * 10 + (piece[used] - '0');
        ++digits;
        ++used;
    }
    if (digits == 0) {
        width = kDefaultFormWidth;
    }
    width = width < kMinFormWidth ? kMinFormWidth : width > kMaxFormWidth ? kMaxFormWidth : width;

    const Form form = piece[0] == 'G' ? Form::Graph : Form::Meter;
    if (!formShown(form, slot, letter)) {
        FormatEngine& fe = formatEngine;
        const int index = appendSegment("", 0, 1);
        if (index != -1) {
            fe.forms[index] = form;
            fe.segmentTokens[index] = slot;
            fe.letters[index] = letter;
            fe.formWidths[index] = static_cast<short>(width);
            fe.hasForms = true;
        }
    }
    if (length > used) {
        appendSegment(piece + used, length - used, static_cast<int>(length + 1));
    }
    return true;
}

// Every graph and meter to the segment of its token's number; a token the
// format does not show as text gets a hidden one, so its updater runs.
void resolveFormSources(const IdentityTexts& identity) {
    FormatEngine& fe = formatEngine;
    const int count = fe.segmentCount;
    for (int i = 0; i < count && i < kMaxSegments; ++i) {
        if (fe.forms[i] != Form::Graph && fe.forms[i] != Form::Meter) {
            continue;
        }
        int source = segmentOfCode(fe.segmentTokens[i], fe.letters[i]);
        if (source == -1) {
            source = compileMetric(fe.segmentTokens[i], fe.letters[i], identity);
            if (source != -1) {
                fe.forms[source] = Form::Hidden;
            }
        }
        fe.formSources[i] = static_cast<short>(source);
    }
}

// One piece: the text between two '%' runs, starting with its code.
void compilePiece(const char* piece, size_t length, const IdentityTexts& identity) {
    if (compileForm(piece, length)) {
        return;
    }
    const int slot = findToken(piece, length);
    size_t codeLength = 0;
    if (slot < 0) {
        if (!isFirstLetterOfACode(piece[0])) {
            appendLiteral(piece, length);
            return;
        }
        codeLength = 1;  // a code's first letter with an unknown second one
    } else {
        const MetricToken& token = kMetricTokens[slot];
        codeLength = token.code[1] == '\0' ? 1 : 2;
        char letter = '\0';
        if (token.place == Place::PerDrive) {
            letter = length > 2 ? piece[2] : '\0';
            if (letter < 'A' || letter > 'Z') {
                appendLiteral(piece, length);
                return;
            }
            ++codeLength;
        }
        compileMetric(slot, letter, identity);
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
        fe.segmentTokens[i] = -1;
        fe.hasValue[i] = false;
        fe.forms[i] = Form::Text;
        fe.letters[i] = '\0';
        fe.formSources[i] = -1;
        fe.histories[i] = -1;
    }
    fe.hasForms = false;
    fe.segmentCount = 0;
    fe.driveTokenCount = 0;
    fe.updaters = 0;
    for (int& slot : fe.slots) {
        slot = -1;
    }
    for (auto& letters : fe.driveSlots) {
        for (int& slot : letters) {
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
    ++formatEngine.compiles;
    formatEngine.changed = true;
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
        firstPiece = false;
    }
    resolveFormSources(identity);
    keepGraphHistories();
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
        if (segment == nullptr || fe.forms[i] == Form::Hidden) {
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

int driveSlotOf(MetricSlot slot, char letter) {
    if (slot < 0 || slot >= SlotCount || letter < 'A' || letter > 'Z') {
        return -1;
    }
    return formatEngine.driveSlots[slot][letter - 'A'];
}

int segmentOfCode(MetricSlot slot, char letter) {
    if (slot < 0 || slot >= SlotCount) {
        return -1;
    }
    return kMetricTokens[slot].place == Place::PerDrive ? driveSlotOf(slot, letter) : slotOf(slot);
}

const MetricToken* metricToken(MetricSlot slot) {
    return slot >= 0 && slot < SlotCount ? &kMetricTokens[slot] : nullptr;
}

MetricSlot tokenAt(const char* text, size_t length) {
    return text != nullptr && length > 0 ? findToken(text, length) : -1;
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
    // Equal to the text as it would be cut to the segment: no change.
    const size_t size = static_cast<size_t>(fe.segmentSizes[index]);
    if (std::strncmp(segment, text != nullptr ? text : "", size - 1) == 0) {
        return;
    }
    copyText(segment, size, text);
    fe.changed = true;
}

void writeSegmentf(int index, const char* format, ...) {
    // An updater writes every token of its query, shown or not: the
    // text of one the format does not show is not worth making.
    if (index < 0 || index >= formatEngine.segmentCount || index >= kMaxSegments) {
        return;
    }
    char text[kTextSize];
    va_list args;
    va_start(args, format);
    formatTextV(text, sizeof text, format, args);
    va_end(args);
    writeSegment(index, text);
}

namespace {

bool isSegment(int index) {
    return index >= 0 && index < formatEngine.segmentCount && index < kMaxSegments;
}

}  // namespace

void writeValue(int index, double value) {
    FormatEngine& fe = formatEngine;
    if (isSegment(index) && (!fe.hasValue[index] || !(fe.values[index] == value))) {
        fe.values[index] = value;
        fe.hasValue[index] = true;
        fe.changed = true;
    }
}

void clearValue(int index) {
    if (isSegment(index) && formatEngine.hasValue[index]) {
        formatEngine.hasValue[index] = false;
        formatEngine.changed = true;
    }
}

bool takeSegmentChanges() {
    const bool changed = formatEngine.changed;
    formatEngine.changed = false;
    return changed;
}

SegmentValue segmentValue(int index) {
    SegmentValue v = {0.0, Unit::None, 0.0, false};
    const MetricSlot token = isSegment(index) ? formatEngine.segmentTokens[index] : -1;
    if (token < 0 || token >= SlotCount) {
        return v;
    }
    v.unit = kMetricTokens[token].unit;
    v.fullScale = fullScale(v.unit);
    const Form form = formatEngine.forms[index];
    if (form == Form::Graph || form == Form::Meter) {
        index = formatEngine.formSources[index];
        if (!isSegment(index)) {
            return v;
        }
    }
    v.read = formatEngine.hasValue[index];
    v.value = v.read ? formatEngine.values[index] : 0.0;
    return v;
}
