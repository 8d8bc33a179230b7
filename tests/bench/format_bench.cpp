// How long compiling a format (with its escapes) and assembling the display
// text take, and how much the segment table holds: every paint assembles,
// a format change compiles. Two formats: the default one and 100 tokens
// (every metric, the drive temperature and 72 drive tokens, no text
// between them), which fills the segment table.
#include <benchmark/benchmark.h>

#include <string>

#include "format/format.h"

namespace {

const IdentityTexts kIdentity{"10.0.0.2", "user", "HOST"};
constexpr const char* kDefaultFormat = "CPU:%CP RAM:%RP C:%DFC Free";

std::string hundredTokens() {
    std::string format;
    const char* metrics[] = {"CP", "CN", "RP", "RT", "RF", "RU", "SP", "ST", "SF", "SU",
                             "BP", "BL", "ID", "IU", "NP", "NU", "NW", "UW", "UD", "UH",
                             "TL", "TU", "PM", "PN", "PS", "PT", "PG"};
    for (const char* code : metrics) {
        format += std::string("%") + code;
    }
    format += "%H";
    const char kinds[] = {'F', 'T', 'U', 'P', 'Q'};
    for (int i = 0; i < 72; ++i) {
        format += std::string("%D") + kinds[i % 5] + static_cast<char>('C' + i / 5);
    }
    return format;
}

const std::string& formatFor(int which) {
    static const std::string formats[] = {kDefaultFormat, hundredTokens()};
    return formats[which];
}

void compile(const std::string& format) {
    freeSegments();
    compileFormat(format.c_str(), kIdentity);
    applyEscapes();
}

void describeTable(benchmark::State& state) {
    long bytes = 0;
    for (int i = 0; i < formatEngine.segmentCount; ++i) {
        bytes += formatEngine.segmentSizes[i];
    }
    state.counters["segments"] = formatEngine.segmentCount;
    state.counters["segment_bytes"] = static_cast<double>(bytes);
}

// What a format change does before its updaters run.
void BM_CompileFormat(benchmark::State& state) {
    const std::string& format = formatFor(static_cast<int>(state.range(0)));
    state.SetLabel(state.range(0) == 0 ? "default" : "100 tokens");
    resetSegments();
    for (auto _ : state) {
        compile(format);
        benchmark::ClobberMemory();
    }
    describeTable(state);
    freeSegments();
}
BENCHMARK(BM_CompileFormat)->Arg(0)->Arg(1);

// What every paint does before drawing.
void BM_AssembleDisplayText(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "default" : "100 tokens");
    resetSegments();
    compile(formatFor(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        assembleDisplayText();
        benchmark::DoNotOptimize(formatEngine.displayText);
        benchmark::ClobberMemory();
    }
    describeTable(state);
    freeSegments();
}
BENCHMARK(BM_AssembleDisplayText)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
