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
#include "settings/settings.h"

TEST(LiveReaders, GivePlausibleValues) {
    refreshIdentity();
    EXPECT_NE(std::string(identityTexts().computerName), "");

    copySettingText(settings.localTimeFormat, kFormatTextSize, "%H:%M");
    freeSegments();
    compileFormat("%DTC %DFQ %TL", identityTexts());
    updateDiskSpace();
    updateClocks();
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
