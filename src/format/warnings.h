// Warning colours: rules such as "CP>75=#E0A000 DPC<10" that draw a
// token's text, graph and meter in another colour while its number is
// past a limit. A rule takes effect only once it has held for the delay,
// and lets go only once it has not held for as long, so a figure that
// jumps about does not make the line blink.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/format.h"
#include "host/wintypes.h"

constexpr int kMaxWarningRules = 64;

enum class Comparison : unsigned char { Above, AtLeast, Below, AtMost };

struct WarningRule {
    MetricSlot slot;
    char letter;  // a per-drive code's drive letter, else 0
    Comparison comparison;
    bool ownColour;  // false: the warning colour setting
    double limit;
    COLORREF colour;
};

// "#RRGGBB", exactly, in `length` characters; any case.
bool parseHexColour(const char* text, size_t length, COLORREF* colour);
// Reads the rules, separated by blanks, each `CODE OP NUMBER[=#RRGGBB]`
// with a code drawn to scale (with its drive letter), OP one of > >= < <=
// and NUMBER a decimal with an optional sign and fraction. A rule that
// does not parse is skipped; beyond `capacity` rules the rest are too.
// Returns how many were read.
int parseWarningRules(const char* text, WarningRule* rules, int capacity);

// The rules in force, from the setting's text. A rule that is the same as
// the one before it in that place keeps its state, so reading the same
// settings again changes nothing on screen.
void setWarningRules(const char* text);
// Each rule against its token's number now, at `nowMs` (a millisecond
// clock that may wrap). True when a rule took effect or let go.
bool updateWarnings(uint32_t nowMs, uint32_t delayMs);
// The colour of the last rule in effect for the code, `fallback` for one
// without its own colour; false when none is in effect.
bool warningColour(MetricSlot slot, char letter, COLORREF fallback, COLORREF* colour);
// Rules in force, and whether each (or any) is in effect.
int warningRuleCount();
bool warningInEffect(int rule);
bool anyWarningInEffect();
