// Prints how long compiling a format and assembling the display text take,
// and how much the segment table holds: the paint path runs assembly once
// a second, a full refresh compiles.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "format/format.h"

namespace {

template <typename F>
double nanosecondsPerCall(int rounds, F&& body) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        body();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / rounds;
}

}  // namespace

int main() {
    const IdentityTexts identity{"10.0.0.2", "user", "HOST"};
    const char* formats[] = {
        "CPU:%CP RAM:%RP C:%DFC Free",
        "%TL %TU\\n%CP %CN %RP %RT %RF %RU %SP %ST %SF %SU %BP %BL\\n%DFC %DTC %DUC %DPC %DQC "
        "%ID %IU %NP %NU %NW %UW %H %PM %PN %PS %PT %PG",
    };
    resetSegments();
    for (const char* format : formats) {
        const double compile = nanosecondsPerCall(20000, [&] {
            freeSegments();
            compileFormat(format, identity);
            applyEscapes();
        });
        const double assemble = nanosecondsPerCall(200000, [] { assembleDisplayText(); });
        long bytes = 0;
        for (int i = 0; i < formatEngine.segmentCount; ++i) {
            bytes += formatEngine.segmentSizes[i];
        }
        std::printf("format of %zu chars: %d segments, %ld bytes of segment buffers\n",
                    std::strlen(format), formatEngine.segmentCount, bytes);
        std::printf("  compile + escapes: %8.0f ns   assemble: %6.0f ns\n", compile, assemble);
    }
    freeSegments();
    return 0;
}
