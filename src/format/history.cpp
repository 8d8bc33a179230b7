#include "format/history.h"

#include <cmath>
#include <cstdlib>
#include <limits>

GraphHistory graphHistories[kMaxSegments];

namespace {

constexpr float kGap = std::numeric_limits<float>::quiet_NaN();

// Throughput's largest reading since the start, per token.
double peaks[SlotCount];

bool isGraph(int segment) {
    return segment >= 0 && segment < formatEngine.segmentCount && segment < kMaxSegments &&
           formatEngine.forms[segment] == Form::Graph;
}

GraphHistory* historyOf(int segment) {
    if (!isGraph(segment)) {
        return nullptr;
    }
    const int index = formatEngine.histories[segment];
    if (index < 0 || index >= kMaxSegments || graphHistories[index].readings == nullptr) {
        return nullptr;
    }
    return &graphHistories[index];
}

void release(GraphHistory* history) {
    std::free(history->readings);
    *history = GraphHistory{-1, '\0', 0, 0, -1, nullptr};
}

float readingAt(const GraphHistory& history, int age) {
    if (age < 0 || age >= history.count) {
        return kGap;
    }
    return history.readings[(history.newest - age + history.capacity) % history.capacity];
}

// Keeps the newest readings that fit `capacity` columns; false (and the
// history as it was) when no memory is left.
bool resize(GraphHistory* history, int capacity) {
    float* readings = static_cast<float*>(std::malloc(sizeof(float) * static_cast<size_t>(capacity)));
    if (readings == nullptr) {
        return false;
    }
    const int kept = history->count < capacity ? history->count : capacity;
    for (int age = 0; age < kept; ++age) {
        readings[kept - 1 - age] = readingAt(*history, age);
    }
    std::free(history->readings);
    history->readings = readings;
    history->capacity = capacity;
    history->count = kept;
    history->newest = kept - 1;
    return true;
}

int findHistory(MetricSlot slot, char letter) {
    for (int i = 0; i < kMaxSegments; ++i) {
        const GraphHistory& h = graphHistories[i];
        if (h.readings != nullptr && h.slot == slot && h.letter == letter) {
            return i;
        }
    }
    return -1;
}

int freeHistory() {
    for (int i = 0; i < kMaxSegments; ++i) {
        if (graphHistories[i].readings == nullptr) {
            return i;
        }
    }
    return -1;
}

double fixedScale(int segment) {
    const MetricToken* token = metricToken(formatEngine.segmentTokens[segment]);
    return token != nullptr ? fullScale(token->unit) : 0.0;
}

}  // namespace

void keepGraphHistories() {
    FormatEngine& fe = formatEngine;
    bool used[kMaxSegments] = {};
    for (int i = 0; i < fe.segmentCount && i < kMaxSegments; ++i) {
        fe.histories[i] = -1;
        if (fe.forms[i] != Form::Graph) {
            continue;
        }
        int index = findHistory(fe.segmentTokens[i], fe.letters[i]);
        if (index == -1) {
            index = freeHistory();
            if (index == -1) {
                continue;
            }
            graphHistories[index] = GraphHistory{fe.segmentTokens[i], fe.letters[i], 0, 0, -1, nullptr};
        }
        GraphHistory& history = graphHistories[index];
        const int columns = graphColumns(fe.formWidths[i]);
        if (history.capacity != columns && !resize(&history, columns)) {
            continue;
        }
        used[index] = true;
        fe.histories[i] = static_cast<short>(index);
    }
    for (int i = 0; i < kMaxSegments; ++i) {
        if (!used[i] && graphHistories[i].readings != nullptr) {
            release(&graphHistories[i]);
        }
    }
}

void recordGraphReadings() {
    const FormatEngine& fe = formatEngine;
    for (int i = 0; i < fe.segmentCount && i < kMaxSegments; ++i) {
        GraphHistory* history = historyOf(i);
        if (history == nullptr) {
            continue;
        }
        const SegmentValue v = segmentValue(i);
        history->newest = (history->newest + 1) % history->capacity;
        history->readings[history->newest] = v.read ? static_cast<float>(v.value) : kGap;
        if (history->count < history->capacity) {
            ++history->count;
        }
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (metricToken(slot)->unit != Unit::KBPerSecond) {
            continue;
        }
        const SegmentValue v = segmentValue(slotOf(slot));
        if (v.read && v.value > peaks[slot]) {
            peaks[slot] = v.value;
        }
    }
}

void freeGraphHistories() {
    for (GraphHistory& history : graphHistories) {
        if (history.readings != nullptr) {
            release(&history);
        }
    }
    for (double& peak : peaks) {
        peak = 0.0;
    }
}

float graphReading(int segment, int age) {
    const GraphHistory* history = historyOf(segment);
    return history != nullptr ? readingAt(*history, age) : kGap;
}

double graphScale(int segment) {
    if (!isGraph(segment)) {
        return 1.0;
    }
    const double fixed = fixedScale(segment);
    if (fixed > 0.0) {
        return fixed;
    }
    double largest = 1.0;
    const GraphHistory* history = historyOf(segment);
    for (int age = 0; history != nullptr && age < history->count; ++age) {
        const float reading = readingAt(*history, age);
        if (!std::isnan(reading) && reading > largest) {
            largest = reading;
        }
    }
    return largest;
}

double meterScale(int segment) {
    if (segment < 0 || segment >= formatEngine.segmentCount || segment >= kMaxSegments) {
        return 1.0;
    }
    const double fixed = fixedScale(segment);
    if (fixed > 0.0) {
        return fixed;
    }
    const MetricSlot slot = formatEngine.segmentTokens[segment];
    double largest = slot >= 0 && slot < SlotCount && peaks[slot] > 1.0 ? peaks[slot] : 1.0;
    const SegmentValue now = segmentValue(segment);
    return now.read && now.value > largest ? now.value : largest;
}
