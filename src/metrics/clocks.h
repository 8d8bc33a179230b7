#pragma once
// %TL and %TU

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "format/tokens.h"

constexpr MetricSlot SlotLocalTime = metricSlot("TL");
constexpr MetricSlot SlotUniversalTime = metricSlot("TU");

void updateClocks();

// A universal date and time as FileTimeToSystemTime gives it.
struct CalendarDate {
    int year;     // e.g. 2024
    int month;    // 1..12
    int day;      // 1..31
    int weekday;  // 0 = Sunday
    int hour;
    int minute;
    int second;
};

// Platform side (clocks_win.cpp; a stand-in natively).
// The universal time as a file time (100-ns units since 1601).
uint64_t readUniversalFileTime();
// The local zone's daylight bias in minutes (usually -60).
long readDaylightBias();
// FileTimeToSystemTime; false when the file time is out of its range.
bool systemDateOf(uint64_t fileTime, CalendarDate* date);
// The local time of seconds since 1970, through 64-bit time on every
// build: a 32-bit time_t, the 32-bit Windows default, stops in January
// 2038. False when the system cannot convert it.
bool readLocalTime(int64_t unixSeconds, std::tm* local);

constexpr int64_t kFileTimeTicksPerSecond = 10000000;

// Seconds since 1970 of a file time.
int64_t unixSecondsFromFileTime(uint64_t fileTime);

// Days since 1 January of the same year (0..365), as tm_yday counts them.
int dayOfYear(int year, int month, int day);
// The calendar record strftime needs, with the real day of the year.
void calendarRecord(const CalendarDate& date, std::tm* record);
// Portable file time (100-ns units since 1601) to date conversion.
bool dateFromFileTime(uint64_t fileTime, CalendarDate* date);

// strftime into `buffer`, one conversion at a time: a result longer than
// the buffer is cut there (strftime alone would give nothing at all).
void formatClockText(char* buffer, size_t size, const char* format, const std::tm* record);

// Offset of the zone clock from universal time in 100-ns units: the
// `timeZone` hours, plus the local daylight bias when the setting is on
// and the local clock is in daylight saving time (the bias is read only
// then). Text that is not a usable number counts as 0 hours.
int64_t zoneOffset(const char* timeZone, bool daylightSetting, bool localInDaylight);

// The zone clock's text for a universal file time. False (buffer
// untouched) when the shifted time cannot be converted.
bool renderZoneClock(uint64_t universalFileTime, int64_t offset, const char* format, char* buffer,
                     size_t size);
