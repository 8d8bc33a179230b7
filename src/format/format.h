// The format engine: compiles the user's format string into a table of
// text segments (literal runs and one segment per metric token), applies
// the \t and \n escapes and assembles the display text. Metric updaters
// write only into their own segment, found through its slot index: its
// text, and beside it the number the text shows.
#pragma once

#include "format/text.h"
#include "format/tokens.h"

constexpr int kMaxSegments = 100;
constexpr int kTextSize = 1024;  // display text and scratch buffer
constexpr int kDriveLetters = 26;

// How a segment shows. "%G" or "%M", a code drawn to scale (with its
// drive letter) and up to three digits of width make a graph or a meter
// of that token's number. A token that only a graph or meter shows still
// has its own segment, hidden: its updater writes there as for text.
enum class Form : unsigned char {
    Text,    // literal text, or a token's text
    Hidden,  // a token's text and number, shown only by a graph or meter
    Graph,   // the token's readings, one column per main tick
    Meter,   // a bar filled to the token's number
};
constexpr int kDefaultFormWidth = 40;  // pixels
constexpr int kMinFormWidth = 4;
constexpr int kMaxFormWidth = 400;
// A graph and a meter are outlined, so an empty one is seen; a graph's
// columns lie inside the outline.
constexpr int kFormBorder = 1;
constexpr int graphColumns(int width) {
    return width - 2 * kFormBorder;
}

struct FormatEngine {
    char* segments[kMaxSegments];     // heap buffers, format order
    int segmentSizes[kMaxSegments];   // byte size of each buffer
    MetricSlot segmentTokens[kMaxSegments];  // the token each segment shows, or -1 for literal text
    double values[kMaxSegments];             // the number a metric segment's text shows
    bool hasValue[kMaxSegments];             // a number was written since the compile
    Form forms[kMaxSegments];
    char letters[kMaxSegments];        // a per-drive token's drive letter, else 0
    short formWidths[kMaxSegments];    // Graph, Meter: pixels
    short formSources[kMaxSegments];   // Graph, Meter: the segment of the token's number, or -1
    short histories[kMaxSegments];     // Graph: its readings (history.h), or -1
    bool hasForms;                     // a graph or meter is shown
    int segmentCount;
    int driveTokenCount;
    int slots[SlotCount];                       // segment index or -1
    int driveSlots[SlotCount][kDriveLetters];   // per-drive tokens, [slot][letter - 'A']
    unsigned updaters;                          // bit (1 << UpdaterId) for each one the format needs
    unsigned compiles;                          // counts compileFormat calls, so an answer knows its format
    bool changed;                               // a text or number changed since takeSegmentChanges()
    bool multiLine;
    char displayText[kTextSize];
};

extern FormatEngine formatEngine;
// One shared scratch buffer (compiler, escapes, assembly, line measuring);
// never held across calls.
extern char scratchText[kTextSize];

void resetSegments();
void freeSegments();
void compileFormat(const char* format, const IdentityTexts& identity);
void applyEscapes();
void assembleDisplayText();

// Segment index of a metric, or -1 when the format does not use it.
int slotOf(MetricSlot slot);
int driveSlotOf(MetricSlot slot, char letter);
// The same for a token's code, with its letter for a per-drive one.
int segmentOfCode(MetricSlot slot, char letter);

// The token whose code starts `text` (the longer code winning), or -1.
MetricSlot tokenAt(const char* text, size_t length);
// The row of the table for `slot`, null for one that is no slot. Other
// modules look rows up through here: in this build each file naming the
// table itself would link another copy of its texts.
const MetricToken* metricToken(MetricSlot slot);

// Writes text into segment `index`, cut to the segment's size. Does
// nothing for index -1 or an index outside the table, so updaters can
// pass slotOf(...) straight through.
void writeSegment(int index, const char* text);
// printf-style form of writeSegment.
void writeSegmentf(int index, const char* format, ...) TELVANE_PRINTF(2, 3);

// The number segment `index` shows, in its token's unit, written beside
// the text by the same updater; -1 or an index outside the table does
// nothing. clearValue: the text shows no reading ("--", 255).
void writeValue(int index, double value);
void clearValue(int index);

// True when a segment's text or number changed (or a format was
// compiled) since the last call. The caller has the line painted anew,
// so an answer that changes nothing costs no paint.
bool takeSegmentChanges();

// A segment's number, as a painter asks for it: unit None for literal
// text and for tokens that are text only; read false until the first
// reading (and after a failed one). A token's is that of its segment,
// segmentValue(slotOf(slot)) or segmentValue(driveSlotOf(slot, letter));
// a graph's or meter's is its token's.
struct SegmentValue {
    double value;
    Unit unit;
    double fullScale;  // see fullScale(Unit)
    bool read;
};
SegmentValue segmentValue(int index);
