#include "format/warnings.h"

namespace {

struct RuleState {
    bool holds;     // as last seen
    bool active;    // in effect
    uint32_t since; // when `holds` last changed
};

WarningRule rules[kMaxWarningRules];
RuleState states[kMaxWarningRules];
int ruleCount;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// [+-]digits[.digits], the whole of text[0, length).
bool parseNumber(const char* text, size_t length, double* number) {
    size_t i = 0;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0.0;
    int digits = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10.0 + (text[i] - '0');
    }
    if (i < length && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < length && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
            value += (text[i] - '0') * scale;
            scale /= 10.0;
        }
    }
    if (digits == 0 || i != length) {
        return false;
    }
    *number = negative ? -value : value;
    return true;
}

// One rule, text[0, length) without blanks.
bool parseRule(const char* text, size_t length, WarningRule* rule) {
    const MetricSlot slot = tokenAt(text, length);
    const MetricToken* row = metricToken(slot);
    if (row == nullptr || !drawnToScale(row->unit)) {
        return false;
    }
    const MetricToken& token = *row;
    size_t i = token.code[1] == '\0' ? 1 : 2;
    char letter = '\0';
    if (token.place == Place::PerDrive) {
        if (i >= length || text[i] < 'A' || text[i] > 'Z') {
            return false;
        }
        letter = text[i++];
    }
    if (i >= length || (text[i] != '>' && text[i] != '<')) {
        return false;
    }
    const bool above = text[i++] == '>';
    const bool orEqual = i < length && text[i] == '=';
    if (orEqual) {
        ++i;
    }
    size_t numberEnd = i;
    while (numberEnd < length && text[numberEnd] != '=') {
        ++numberEnd;
    }
    double limit = 0.0;
    if (!parseNumber(text + i, numberEnd - i, &limit)) {
        return false;
    }
    COLORREF colour = 0;
    const bool ownColour = numberEnd < length;
    if (ownColour && !parseHexColour(text + numberEnd + 1, length - numberEnd - 1, &colour)) {
        return false;
    }
    rule->slot = slot;
    rule->letter = letter;
    rule->comparison = above ? (orEqual ? Comparison::AtLeast : Comparison::Above)
                             : (orEqual ? Comparison::AtMost : Comparison::Below);
    rule->ownColour = ownColour;
    rule->limit = limit;
    rule->colour = colour;
    return true;
}

bool sameRule(const WarningRule& a, const WarningRule& b) {
    return a.slot == b.slot && a.letter == b.letter && a.comparison == b.comparison &&
           a.ownColour == b.ownColour && a.limit == b.limit && a.colour == b.colour;
}

bool holds(const WarningRule& rule) {
    const SegmentValue v = segmentValue(segmentOfCode(rule.slot, rule.letter));
    if (!v.read) {
        return false;
    }
    switch (rule.comparison) {
        case Comparison::Above:
            return v.value > rule.limit;
        case Comparison::AtLeast:
            return v.value >= rule.limit;
        case Comparison::Below:
            return v.value < rule.limit;
        case Comparison::AtMost:
            return v.value <= rule.limit;
    }
    return false;
}

}  // namespace

bool parseHexColour(const char* text, size_t length, COLORREF* colour) {
    if (text == nullptr || length != 7 || text[0] != '#') {
        return false;
    }
    unsigned rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) {
            return false;
        }
        rgb = rgb << 4 | static_cast<unsigned>(digit);
    }
    *colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return true;
}

int parseWarningRules(const char* text, WarningRule* out, int capacity) {
    int count = 0;
    if (text == nullptr) {
        return 0;
    }
    size_t i = 0;
    while (text[i] != '\0' && count < capacity) {
        while (isBlank(text[i])) {
            ++i;
        }
        const size_t start = i;
        while (text[i] != '\0' && !isBlank(text[i])) {
            ++i;
        }
        if (i > start && parseRule(text + start, i - start, &out[count])) {
            ++count;
        }
    }
    return count;
}

void setWarningRules(const char* text) {
    WarningRule parsed[kMaxWarningRules];
    const int count = parseWarningRules(text, parsed, kMaxWarningRules);
    for (int i = 0; i < count; ++i) {
        if (i >= ruleCount || !sameRule(parsed[i], rules[i])) {
            states[i] = RuleState{false, false, 0};
        }
        rules[i] = parsed[i];
    }
    ruleCount = count;
}

bool updateWarnings(uint32_t nowMs, uint32_t delayMs) {
    bool changed = false;
    for (int i = 0; i < ruleCount; ++i) {
        RuleState& state = states[i];
        const bool now = holds(rules[i]);
        if (now != state.holds) {
            state.holds = now;
            state.since = nowMs;
        }
        // Unsigned, so a clock that wrapped meanwhile still counts right.
        if (state.active != state.holds && nowMs - state.since >= delayMs) {
            state.active = state.holds;
            changed = true;
        }
    }
    return changed;
}

bool warningColour(MetricSlot slot, char letter, COLORREF fallback, COLORREF* colour) {
    for (int i = ruleCount - 1; i >= 0; --i) {
        if (states[i].active && rules[i].slot == slot && rules[i].letter == letter) {
            *colour = rules[i].ownColour ? rules[i].colour : fallback;
            return true;
        }
    }
    return false;
}

int warningRuleCount() {
    return ruleCount;
}

bool warningInEffect(int rule) {
    return rule >= 0 && rule < ruleCount && states[rule].active;
}

bool anyWarningInEffect() {
    for (int i = 0; i < ruleCount; ++i) {
        if (states[i].active) {
            return true;
        }
    }
    return false;
}
