// Warning rules: what a rule may be written as, and when its colour comes
// and goes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "format/format.h"
#include "format/warnings.h"

namespace {

// A rule read back as text: "CODE OP LIMIT COLOUR".
std::string describe(const WarningRule& rule) {
    static const char* const kOps[] = {">", ">=", "<", "<="};
    const MetricToken* token = metricToken(rule.slot);
    std::string text = token ? token->code : "?";
    if (rule.letter != '\0') {
        text += rule.letter;
    }
    text += kOps[static_cast<int>(rule.comparison)];
    text += std::to_string(rule.limit);
    if (rule.ownColour) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%06X",
                      static_cast<unsigned>((rule.colour & 0xFF) << 16 | (rule.colour & 0xFF00) |
                                            (rule.colour >> 16 & 0xFF)));
        text += colour;
    }
    return text;
}

std::string parsed(const char* text, int capacity = kMaxWarningRules) {
    WarningRule rules[kMaxWarningRules];
    const int count = parseWarningRules(text, rules, capacity);
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += (i ? " " : "") + describe(rules[i]);
    }
    return out;
}

TEST(WarningRules, ReadGoodRulesAndSkipTheRest) {
    struct Row {
        const char* text;
        const char* rules;
    };
    const Row rows[] = {
        {"CP>75=#E0A000 CP>90=#FF3030 RP>85 DPC<10 H>=55 BP<20",
         "CP>75.000000#E0A000 CP>90.000000#FF3030 RP>85.000000 DPC<10.000000 H>=55.000000 "
         "BP<20.000000"},
        {"", ""},
        {"   \t ", ""},
        {"\tIU<=0.5=#00ff7f   ID>-1  SP>+2.25", "IU<=0.500000#00FF7F ID>-1.000000 SP>2.250000"},
        {"DQZ>=99.", "DQZ>=99.000000"},
        // Odd: each bad rule is skipped, the rest apply.
        {"CP CP> CP>= >5 CP=5 CP<>5 CP>>5 CP>5% CP>5=  RP>1", "RP>1.000000"},
        {"CN>5 TL>1 DFC<10 NP>0 UD>1 RP>2", "RP>2.000000"},         // not drawn to scale
        {"DP<10 DPc<10 DP1<10 cp>5 Cp>5 RP>3", "RP>3.000000"},       // letters, case
        {"CP>1=#12345 CP>1=#1234567 CP>1=123456 CP>1=#GG0000 RP>4", "RP>4.000000"},
        {"CP>1.2.3 CP>. CP>- CP>1e3 CP>0x10 RP>5", "RP>5.000000"},
        {"CP>5=#00FF00=#FF0000 RP>6", "RP>6.000000"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(parsed(row.text), row.rules) << row.text;
    }
    // Hostile: no text, a huge number, too many rules, any byte.
    EXPECT_EQ(parseWarningRules(nullptr, nullptr, 0), 0);
    EXPECT_EQ(parsed(("CP>" + std::string(400, '9')).c_str()), "CP>inf");
    std::string many;
    for (int i = 0; i < 100; ++i) {
        many += "CP>" + std::to_string(i) + " ";
    }
    EXPECT_EQ(parsed(many.c_str(), 3), "CP>0.000000 CP>1.000000 CP>2.000000");
    std::string bytes;
    for (int c = 1; c < 256; ++c) {
        bytes += static_cast<char>(c);
    }
    EXPECT_EQ(parsed((bytes + " RP>7 " + bytes).c_str()), "RP>7.000000");
}

constexpr MetricSlot kCp = metricSlot("CP");
constexpr MetricSlot kRp = metricSlot("RP");
constexpr MetricSlot kDp = metricSlot("DP");

class WarningTiming : public ::testing::Test {
protected:
    void SetUp() override {
        resetSegments();
        compileFormat("%CP %RP %DPC %DPD", IdentityTexts{"", "", ""});
    }
    void TearDown() override {
        setWarningRules("");
        freeSegments();
    }
    static void cpu(double value) { writeValue(slotOf(kCp), value); }
    static std::string colourOf(MetricSlot slot, char letter = '\0') {
        COLORREF colour = 0;
        if (!warningColour(slot, letter, RGB(1, 1, 1), &colour)) {
            return "none";
        }
        return colour == RGB(1, 1, 1) ? "default" : std::to_string(colour);
    }
};

// On only after the rule has held for the delay, off only after it has not
// held for as long; a figure that jumps about changes nothing.
TEST_F(WarningTiming, ARuleTakesEffectAndLetsGoAfterTheDelay) {
    setWarningRules("CP>50");
    struct Step {
        uint32_t ms;
        double cpu;  // < 0: no reading
        bool inEffect;
    };
    const Step steps[] = {
        {0, 60, false},     {1000, 70, false},  {1999, 80, false}, {2000, 90, true},
        {3000, 10, true},   {4000, 90, true},   {5000, 10, true},  {6999, 10, true},
        {7000, 10, false},  {8000, -1, false},  {9000, 55, false}, {10500, -1, false},
        {11000, 55, false}, {12999, 60, false}, {13000, 60, true},
    };
    for (const Step& step : steps) {
        if (step.cpu < 0) {
            clearValue(slotOf(kCp));  // no reading: the rule does not hold
        } else {
            cpu(step.cpu);
        }
        const bool before = warningInEffect(0);
        // True exactly when the colour changes: the window repaints then.
        EXPECT_EQ(updateWarnings(step.ms, 2000), before != step.inEffect) << step.ms << " ms";
        EXPECT_EQ(warningInEffect(0), step.inEffect) << step.ms << " ms";
    }

    // A delay of 0 is at once, both ways; the clock may wrap meanwhile.
    setWarningRules("CP>=50");
    cpu(50);
    updateWarnings(UINT32_MAX - 500, 0);
    EXPECT_TRUE(warningInEffect(0));
    cpu(49);
    updateWarnings(UINT32_MAX - 400, 0);
    EXPECT_FALSE(warningInEffect(0));
    cpu(51);
    updateWarnings(UINT32_MAX - 100, 1000);
    updateWarnings(899, 1000);
    EXPECT_TRUE(warningInEffect(0));
}

TEST_F(WarningTiming, TheLastRuleInEffectForACodeGivesItsColour) {
    setWarningRules("CP>75=#E0A000 CP>90=#FF3030 RP>10 DPC<10=#0000FF");
    cpu(80);
    writeValue(slotOf(kRp), 50);
    writeValue(driveSlotOf(kDp, 'C'), 5);
    writeValue(driveSlotOf(kDp, 'D'), 5);
    updateWarnings(0, 0);
    EXPECT_EQ(colourOf(kCp), std::to_string(RGB(0xE0, 0xA0, 0x00)));
    EXPECT_EQ(colourOf(kRp), "default");
    EXPECT_EQ(colourOf(kDp, 'C'), std::to_string(RGB(0, 0, 0xFF)));
    EXPECT_EQ(colourOf(kDp, 'D'), "none");  // another drive
    cpu(95);
    updateWarnings(1, 0);
    EXPECT_EQ(colourOf(kCp), std::to_string(RGB(0xFF, 0x30, 0x30)));

    // The same rules read again keep their state; changed ones start over.
    setWarningRules("CP>75=#E0A000 CP>90=#FF3030 RP>10 DPC<10=#0000FF");
    EXPECT_EQ(colourOf(kCp), std::to_string(RGB(0xFF, 0x30, 0x30)));
    setWarningRules("CP>75=#E0A000 CP>91=#FF3030");
    EXPECT_EQ(colourOf(kCp), std::to_string(RGB(0xE0, 0xA0, 0x00)));
    EXPECT_EQ(colourOf(kRp), "none");
    setWarningRules("");
    EXPECT_EQ(warningRuleCount(), 0);
    EXPECT_EQ(colourOf(kCp), "none");
}

}  // namespace
