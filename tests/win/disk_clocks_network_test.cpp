// The real disk, clock, network and identity readers on the running system.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <string>

#include "format/format.h"
#include "format/text.h"
#include "metrics/clocks.h"
#include "metrics/disk.h"
#include "metrics/network.h"
#include "plugin/frame.h"
#include "settings/settings.h"
#include "worker/worker.h"

namespace {

std::string segmentOf(int slot) {
    return slot >= 0 ? formatEngine.segments[slot] : "(none)";
}

// Runs the answers the worker posts to `window` until `done` or 10 s.
template <typename Done>
void collectUntil(HWND window, Done done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 10000) {
        MSG message;
        if (PeekMessageA(&message, window, kAnswersMessage, kAnswersMessage, PM_REMOVE)) {
            collectAnswers();
        } else {
            Sleep(5);
        }
    }
}

}  // namespace

TEST(LiveReaders, GivePlausibleValues) {
    // The slow queries answer through the worker, on a thread of its own.
    HWND window = CreateWindowExA(0, "STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    startWorker(window);
    copySettingText(settings.localTimeFormat, kFormatTextSize, "%H:%M");
    refreshIdentity();
    EXPECT_NE(std::string(identityTexts().computerName), "");
    freeSegments();
    compileFormat("%DTC %DFQ %TL %NP", identityTexts());
    updateDiskSpace();
    updateClocks();
    EXPECT_EQ(segmentOf(diskSlotOf(DiskTotal, 'C')), "--");  // until the answer
    collectUntil(window, [] {
        return segmentOf(diskSlotOf(DiskTotal, 'C')) != "--" && segmentOf(slotOf(SlotIpAddress)) != "";
    });
    stopWorker();
    DestroyWindow(window);
    EXPECT_NE(segmentOf(slotOf(SlotIpAddress)), "");
    const std::string total = formatEngine.segments[diskSlotOf(DiskTotal, 'C')];
    EXPECT_TRUE(total != "--" && total[0] >= '1' && total[0] <= '9') << total;
    EXPECT_STREQ(formatEngine.segments[diskSlotOf(DiskFree, 'Q')], "--");
    const std::string local = formatEngine.segments[slotOf(SlotLocalTime)];
    EXPECT_TRUE(local.size() == 5 && local[2] == ':') << local;
    freeSegments();

    ULONG size = 0;
    ASSERT_EQ(GetIfTable(nullptr, &size, FALSE), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::string buffer(size, '\0');
    EXPECT_EQ(GetIfTable(reinterpret_cast<MIB_IFTABLE*>(&buffer[0]), &size, FALSE),
              static_cast<DWORD>(NO_ERROR));
    updateNetwork();

    // One interface read by its index, with 64-bit counters where the
    // system has them (wine does).
    InterfaceLocation where{};
    ASSERT_TRUE(locateInterface(0, &where));
    EXPECT_EQ(where.row, 0u);
    InterfaceSample sample{};
    ASSERT_TRUE(readInterface(where.interfaceId, &sample));
    EXPECT_TRUE(sample.wide);
    uint32_t interfaces = 0;
    ASSERT_TRUE(countInterfaces(&interfaces));
    EXPECT_GT(interfaces, 0u);

    // The interface of the default route, where there is one, read twice:
    // the second time by the LUID the first read gave.
    uint32_t routed = 0;
    if (findRouteInterface(&routed)) {
        ASSERT_TRUE(readInterface(routed, &sample));
        InterfaceSample again{};
        ASSERT_TRUE(readInterface(routed, &again));
        EXPECT_GE(again.inOctets, sample.inOctets);
    }
    // The change notifications: asked for, counted, and all ended.
    EXPECT_TRUE(watchInterfaces());
    const uint32_t changes = interfaceChanges();
    EXPECT_EQ(interfaceChanges(), changes);
    stopWatchingInterfaces();
    endNetwork();
}

// Metric texts go through the system C library's formatter on Windows; it
// must read the conversions the metrics use as C99 does, and always end
// the text, also when it is cut exactly at the buffer's end.
TEST(SystemFormatter, MetricConversionsAndCutTexts) {
    char text[32];
    formatText(text, sizeof text, "%u:%02u|%.2d%%|%-6d|%4u|%c:\\", 7u, 5u, 3, 42, 9u, 'C');
    EXPECT_STREQ(text, "7:05|03%|42    |   9|C:\\");
    char small[5];
    formatText(small, sizeof small, "%s", "12345");
    EXPECT_STREQ(small, "1234");
    formatText(small, sizeof small, "%d", 1234);
    EXPECT_STREQ(small, "1234");
    copyText(small, sizeof small, "abcdefgh");
    EXPECT_STREQ(small, "abcd");
}
