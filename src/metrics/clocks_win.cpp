#include <windows.h>

#include <ctime>

#include "metrics/clocks.h"

uint64_t readUniversalFileTime() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// _localtime64 in both builds (the 32-bit build's localtime takes a 32-bit
// time_t); XP's C library has it too.
bool readLocalTime(int64_t unixSeconds, std::tm* local) {
    const __time64_t seconds = unixSeconds;
    const std::tm* record = _localtime64(&seconds);
    if (record == nullptr) {
        return false;
    }
    *local = *record;
    return true;
}

long readDaylightBias() {
    TIME_ZONE_INFORMATION zone;
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) {
        return 0;
    }
    return zone.DaylightBias;
}

bool systemDateOf(uint64_t fileTime, CalendarDate* date) {
    FILETIME file;
    file.dwLowDateTime = static_cast<DWORD>(fileTime);
    file.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    SYSTEMTIME system;
    if (!FileTimeToSystemTime(&file, &system)) {
        return false;
    }
    date->year = system.wYear;
    date->month = system.wMonth;
    date->day = system.wDay;
    date->weekday = system.wDayOfWeek;
    date->hour = system.wHour;
    date->minute = system.wMinute;
    date->second = system.wSecond;
    return true;
}
