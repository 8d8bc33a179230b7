// The line as runs: text in one colour, graphs and meters, each on a line
// of the window and placed by the justification. A line of text in one
// colour needs no runs; it is drawn as one text, as it always was.
#pragma once

#include "format/format.h"
#include "host/wintypes.h"

enum class RunKind : unsigned char { Text, Graph, Meter };

struct Run {
    RunKind kind;
    int line;         // 0 the first
    int offset;       // Text: its characters in Runs::text
    int length;
    int segment;      // Graph, Meter: their segment
    COLORREF colour;
    int width;        // pixels: a graph's or meter's from the format, a text's once measured
    int x;            // after layoutRuns: from the left of the text rectangle
};

constexpr int kMaxRuns = 256;

struct Runs {
    int count;
    int lines;
    Run runs[kMaxRuns];
    char text[kTextSize];  // the text runs' characters, each run's in one piece
    int textUsed;
};

// Cuts the compiled line into runs: each token's text in the colour of
// the warning in effect for it (or `textColour`), graphs and meters with
// theirs. Adjacent texts of one colour are one run; in a format of
// several lines a run ends at each line break. Beyond kMaxRuns runs or
// kTextSize characters the rest is left out. False when the line is only
// text in `textColour`: no runs are needed (and none may be made).
bool buildRuns(COLORREF textColour, COLORREF warningColour, Runs* runs);

// Places the runs of each line side by side from its justification
// (only the alignment bits, as for drawing text: 1 centre, 2 right) in an
// area `areaWidth` wide, once every run has its width. Returns the
// longest line's width.
int layoutRuns(Runs* runs, int areaWidth, int justification);

// A meter's filled part in pixels, of `inner` pixels inside its outline.
int meterFill(double value, double scale, bool read, int inner);
// A graph column's height in pixels, of `inner` pixels inside its
// outline: at least 1 for any reading, so a reading of 0 shows where a
// tick without one does not (-1 then).
int columnHeight(float reading, double scale, int inner);
