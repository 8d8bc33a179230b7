#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <ctime>
#include <string>

#include "format/format.h"
#include "metrics/clocks.h"
#include "metrics/clocks_native.h"
#include "metrics/stand_ins.h"
#include "settings/settings.h"

namespace {

constexpr int64_t kHour = 3600 * kFileTimeTicksPerSecond;

uint64_t fileTimeAt(int64_t unixSeconds) {
    return static_cast<uint64_t>(unixSeconds + 11644473600LL) * kFileTimeTicksPerSecond;
}

std::string zoneClock(uint64_t universal, int64_t offset, const char* format) {
    char text[256];
    if (!renderZoneClock(universal, offset, format, text, sizeof text)) {
        return "(failed)";
    }
    return text;
}

class ZoneClock : public ::testing::Test {
protected:
    void SetUp() override { resetStandIns(); }
};

TEST_F(ZoneClock, ShiftsByTheZoneAcrossDayAndLeapBoundaries) {
    // 2023-12-31 23:30:00 and 2024-03-01 00:10:00 universal time.
    EXPECT_EQ(zoneClock(fileTimeAt(1704065400), zoneOffset("+9.0", false, false),
                        "%Y-%m-%d %H:%M:%S"),
              "2024-01-01 08:30:00");
    EXPECT_EQ(zoneClock(fileTimeAt(1709251800), zoneOffset("-5.5", false, false),
                        "%Y-%m-%d %H:%M %a"),
              "2024-02-29 18:40 Thu");
    // Before 1601 there is no date: the previous text stays.
    EXPECT_EQ(zoneClock(0, -kHour, "%H"), "(failed)");
}

TEST_F(ZoneClock, DaylightHourOnlyWhenSettingOnAndLocalZoneInDaylight) {
    clockStandIn.daylightBias = -60;
    EXPECT_EQ(zoneOffset("+1.0", false, true), kHour);
    EXPECT_EQ(zoneOffset("+1.0", true, false), kHour);
    EXPECT_EQ(clockStandIn.biasReads, 0);
    EXPECT_EQ(zoneOffset("+1.0", true, true), 2 * kHour);
}

TEST_F(ZoneClock, ZoneTextsReadLikeDecimalNumbers) {
    EXPECT_EQ(zoneOffset(" -3.75", false, false), -(3 * kHour + 3 * kHour / 4));
    EXPECT_EQ(zoneOffset("+5.5 east", false, false), 5 * kHour + kHour / 2);
    EXPECT_EQ(zoneOffset(".5", false, false), kHour / 2);
    EXPECT_EQ(zoneOffset("8.", false, false), 8 * kHour);
    EXPECT_EQ(zoneOffset("0.1e1", false, false), kHour);
    EXPECT_EQ(zoneOffset("2e-99999999", false, false), 0);
}

TEST_F(ZoneClock, UnusableZoneTextsCountAsUniversalTime) {
    for (const char* text : {"", "east", "inf", "nan", "1e300", "-", ".", "e5", "9999999999999999999999"}) {
        EXPECT_EQ(zoneOffset(text, false, false), 0) << text;
    }
}

TEST_F(ZoneClock, CalendarRecordMatchesTheRealDate) {
    // Day of year and week numbers from the date itself, checked against the
    // C library's own breakdown over five centuries of sample days.
    const char* format = "%Y-%m-%d %H:%M:%S %a %j %U %W";
    for (int64_t s = -11644473600LL + 12345; s < 4102444800LL; s += 86400LL * 97 + 3613) {
        const auto t = static_cast<time_t>(s);
        std::tm expected{};
        gmtime_r(&t, &expected);
        char want[128];
        std::strftime(want, sizeof want, format, &expected);
        ASSERT_EQ(zoneClock(fileTimeAt(s), 0, format), want) << s;
    }
    EXPECT_EQ(dayOfYear(2024, 12, 31), 365);
    EXPECT_EQ(dayOfYear(1900, 3, 1), 59);
}

TEST_F(ZoneClock, BothClocksGoOnPastJanuary2038) {
    copySettingText(settings.localTimeFormat, kFormatTextSize, "%Y-%m-%d %H:%M:%S");
    copySettingText(settings.universalTimeFormat, kFormatTextSize, "%Y-%m-%d %H:%M:%S");
    copySettingText(settings.timeZone, kTimeZoneSize, "+0.0");
    settings.localeString[0] = '\0';
    freeSegments();
    compileFormat("%TL|%TU", IdentityTexts{"", "", ""});
    auto clocks = [](int64_t unixSeconds) {
        clockStandIn.universalFileTime = fileTimeAt(unixSeconds);
        updateClocks();
        return std::string(formatEngine.segments[slotOf(SlotLocalTime)]) + "|" +
               formatEngine.segments[slotOf(SlotUniversalTime)];
    };
    // One second past the last second a 32-bit time_t holds.
    EXPECT_EQ(clocks(2147483648LL), "2038-01-19 03:14:08|2038-01-19 03:14:08");
    EXPECT_EQ(clocks(4107542400LL), "2100-03-01 00:00:00|2100-03-01 00:00:00");
    freeSegments();
}

TEST(ClockText, AnOverlongResultShowsWhatFits) {
    std::tm record{};
    record.tm_year = 124;
    record.tm_mday = 1;
    char text[8];
    std::memset(text, 'x', sizeof text);
    formatClockText(text, sizeof text, "", &record);
    EXPECT_STREQ(text, "");
    formatClockText(text, sizeof text, "%Y-%m-%d", &record);  // needs 11 bytes
    EXPECT_STREQ(text, "2024-01");

    // 500 of "%c" give some 12,000 characters; strftime alone gave none.
    std::string format;
    for (int i = 0; i < 500; ++i) {
        format += "%c";
    }
    char segment[1024];
    formatClockText(segment, sizeof segment, format.c_str(), &record);
    char one[64];
    std::strftime(one, sizeof one, "%c", &record);
    EXPECT_EQ(std::strlen(segment), sizeof segment - 1);
    EXPECT_EQ(std::string(segment).substr(0, std::strlen(one)), one);
}

TEST(ClockText, UnknownConversionsAreShownAsText) {
    // Windows' library would end the shell's process on these.
    std::tm record{};
    record.tm_year = 124;
    record.tm_hour = 7;
    char text[64];
    formatClockText(text, sizeof text, "%Q %D %#Y %#E %%H %H %Ey 100%", &record);
    EXPECT_STREQ(text, "%Q %D 2024 %#E %H 07 %Ey 100%");
}

TEST(LocalClock, LeavesTheProcessLocaleAsItWas) {
    // The shell and its other plugins format their dates in that locale.
    const Settings saved = settings;
    copyText(settings.localTimeFormat, sizeof settings.localTimeFormat, "%a %H:%M");
    for (const char* process : {"C", "C.UTF-8"}) {
        for (const char* ours : {"", "C", "C.UTF-8", "no such locale"}) {
            ASSERT_NE(std::setlocale(LC_TIME, process), nullptr);
            const std::string before = std::setlocale(LC_TIME, nullptr);
            copyText(settings.localeString, sizeof settings.localeString, ours);
            freeSegments();
            compileFormat("%TL", IdentityTexts{"", "", ""});
            updateClocks();
            EXPECT_EQ(std::setlocale(LC_TIME, nullptr), before) << ours;
            EXPECT_EQ(std::strlen(formatEngine.segments[slotOf(SlotLocalTime)]), 9u) << ours;
        }
    }
    freeSegments();
    std::setlocale(LC_TIME, "C");
    settings = saved;
}

}  // namespace
