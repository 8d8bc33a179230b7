// What a graph draws: its token's readings, one per tick of the main
// timer, and the scales of graphs and meters. The readings belong to the
// graph's code, not to one compile: a format change that keeps the graph
// keeps them (at its new width); only a format without it drops them.
#pragma once

#include "format/format.h"

struct GraphHistory {
    MetricSlot slot;  // -1: a free entry
    char letter;
    int capacity;     // the graph's columns
    int count;        // readings kept, at most capacity
    int newest;       // index of the newest reading
    float* readings;  // NaN where a tick had no reading
};
extern GraphHistory graphHistories[kMaxSegments];

// After each compile: every graph of the format gets the history of its
// code, made or resized to its columns; the others are dropped.
void keepGraphHistories();
// Each graph takes its token's number now (a gap when there is none), and
// throughput meters their peak; after the main timer's updaters.
void recordGraphReadings();
// The plugin ends: every history and peak goes.
void freeGraphHistories();

// The reading `age` ticks old (0 the newest) of the graph in `segment`;
// NaN when it has none that old, or no history.
float graphReading(int segment, int age);
// The number a full column stands for: 100 for percentages and degrees;
// for throughput the largest reading the graph shows, at least 1 KB/s.
double graphScale(int segment);
// The number a full meter stands for: as a graph's, but for throughput
// the largest reading since the plugin started, at least 1 KB/s.
double meterScale(int segment);
