#include "metrics/clocks.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "format/format.h"
#include "settings/settings.h"

namespace {

char clockText[kTextSize];

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads [blanks][sign]digits[.digits][e[sign]digits] like strtod, without
// pulling a full floating-point parser into the DLL. Unreadable text is 0.
double readHours(const char* text) {
    if (text == nullptr) return 0.0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    double value = 0.0;
    bool anyDigit = false;
    for (; isDigit(*text); ++text, anyDigit = true) value = value * 10.0 + (*text - '0');
    if (*text == '.') {
        double scale = 0.1;
        for (++text; isDigit(*text); ++text, scale /= 10.0, anyDigit = true) value += (*text - '0') * scale;
    }
    if (!anyDigit) return 0.0;
    if (*text == 'e' || *text == 'E') {
        ++text;
        bool negativeExponent = false;
        if (*text == '+' || *text == '-') negativeExponent = *text++ == '-';
        int exponent = 0;
        for (; isDigit(*text); ++text) exponent = exponent < 1000 ? exponent * 10 + (*text - '0') : exponent;
        value *= std::pow(10.0, negativeExponent ? -exponent : exponent);
    }
    return negative ? -value : value;
}

// Windows' C library treats a conversion it does not document as an
// invalid parameter, whose default handler ends the process: the shell's.
// A clock format comes from any program, so any other '%' is kept as text.
void keepKnownConversions(const char* format, char* out, size_t size) {
    static const char kKnown[] = "aAbBcdHIjmMpSUwWxXyYzZ%";
    size_t used = 0;
    while (*format != '\0' && used + 4 < size) {
        const char c = *format++;
        if (c != '%') {
            out[used++] = c;
            continue;
        }
        const bool alternate = *format == '#';
        const char conversion = format[alternate ? 1 : 0];
        if (conversion != '\0' && std::strchr(kKnown, conversion) != nullptr) {
            out[used++] = '%';
            if (alternate) out[used++] = '#';
            out[used++] = conversion;
            format += alternate ? 2 : 1;
        } else {
            out[used++] = '%';
            out[used++] = '%';
        }
    }
    out[used] = '\0';
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Whether a clock format names days, months, the half of the day or the
// zone, or uses the locale's own date and time forms; digits are the same
// in every locale.
bool usesLocaleNames(const char* format) {
    for (const char* c = format; *c != '\0'; ++c) {
        if (*c != '%') continue;
        ++c;
        if (*c == '#') ++c;
        if (*c == '\0') break;
        if (std::strchr("aAbBcpxXzZ", *c) != nullptr) return true;
    }
    return false;
}

// The C library's locale belongs to the whole process: the shell and every
// other plugin format their dates with it. Ours is set only while the
// clocks are formatted (XP's msvcrt has no locale objects of their own),
// and the process's put back; formats of digits alone need neither.
class ClockLocale {
public:
    ClockLocale(const char* locale, bool needed) : switched_(false) {
        if (!needed) {
            return;
        }
        const char* current = std::setlocale(LC_TIME, nullptr);
        // A name we could not restore in full is not worth switching from.
        if (current == nullptr || std::strlen(current) >= sizeof previous_ || std::strcmp(current, locale) == 0) {
            return;
        }
        copyText(previous_, sizeof previous_, current);
        // A name the library does not know means the user's own, as an
        // empty one does, not whatever locale the process has.
        switched_ = std::setlocale(LC_TIME, locale) != nullptr ||
                    (locale[0] != '\0' && std::setlocale(LC_TIME, "") != nullptr);
    }
    ~ClockLocale() {
        if (switched_) std::setlocale(LC_TIME, previous_);
    }
    ClockLocale(const ClockLocale&) = delete;
    ClockLocale& operator=(const ClockLocale&) = delete;

private:
    bool switched_;
    char previous_[256];
};

}  // namespace

int dayOfYear(int year, int month, int day) {
    static const int daysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    if (month < 1 || month > 12) {
        return 0;
    }
    int days = daysBefore[month - 1] + day - 1;
    if (month > 2 && isLeapYear(year)) {
        ++days;
    }
    return days;
}

void calendarRecord(const CalendarDate& date, std::tm* record) {
    *record = std::tm{};
    record->tm_sec = date.second;
    record->tm_min = date.minute;
    record->tm_hour = date.hour;
    record->tm_mday = date.day;
    record->tm_mon = date.month - 1;
    record->tm_year = date.year - 1900;
    record->tm_wday = date.weekday;
    record->tm_yday = dayOfYear(date.year, date.month, date.day);
    record->tm_isdst = 0;
}

bool dateFromFileTime(uint64_t fileTime, CalendarDate* date) {
    // FileTimeToSystemTime refuses times past the signed 64-bit range.
    if (fileTime >= 0x8000000000000000ULL) {
        return false;
    }
    const uint64_t seconds = fileTime / kFileTimeTicksPerSecond;
    const int64_t days = static_cast<int64_t>(seconds / 86400);
    const int secondOfDay = static_cast<int>(seconds % 86400);
    // 1 January 1601 was a Monday.
    date->weekday = static_cast<int>((days + 1) % 7);
    date->hour = secondOfDay / 3600;
    date->minute = secondOfDay / 60 % 60;
    date->second = secondOfDay % 60;

    // Civil date from a day count, with eras of 400 years starting 1 March.
    const int64_t z = days + 584694;  // days from 0000-03-01 to 1601-01-01
    const int64_t era = z / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYearMarch = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYearMarch + 2) / 153;
    date->day = static_cast<int>(dayOfYearMarch - (153 * monthIndex + 2) / 5 + 1);
    date->month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    date->year = static_cast<int>(yearOfEra + era * 400 + (date->month <= 2 ? 1 : 0));
    return true;
}

void formatClockText(char* buffer, size_t size, const char* format, const std::tm* record) {
    if (size == 0) {
        return;
    }
    buffer[0] = '\0';
    if (format == nullptr || format[0] == '\0') {
        return;
    }
    char checked[2 * kTextSize];
    keepKnownConversions(format, checked, sizeof checked);
    // Every '%' in `checked` starts a whole conversion: "%x" or "%#x".
    size_t used = 0;
    for (const char* p = checked; *p != '\0' && used + 1 < size;) {
        char piece[256];
        size_t length = 0;
        if (*p == '%') {
            const size_t conversionLength = p[1] == '#' ? 3 : 2;
            char conversion[4] = {};
            std::memcpy(conversion, p, conversionLength);
            p += conversionLength;
            // 0 for an empty result, and for one no piece could hold.
            length = std::strftime(piece, sizeof piece, conversion, record);
        } else {
            while (*p != '\0' && *p != '%' && length < sizeof piece) {
                piece[length++] = *p++;
            }
        }
        const size_t room = size - 1 - used;
        if (length > room) {
            length = room;
        }
        std::memcpy(buffer + used, piece, length);
        used += length;
    }
    buffer[used] = '\0';
}

int64_t zoneOffset(const char* timeZone, bool daylightSetting, bool localInDaylight) {
    double hours = readHours(timeZone);
    // "inf", "nan" or 1e300 from a hand-edited file would overflow the
    // conversion below; treat them like any other unreadable text.
    if (!std::isfinite(hours) || std::fabs(hours) > 1.0e6) {
        hours = 0.0;
    }
    double seconds = hours * 3600.0;
    if (daylightSetting && localInDaylight) {
        seconds -= static_cast<double>(readDaylightBias()) * 60.0;
    }
    return static_cast<int64_t>(seconds * static_cast<double>(kFileTimeTicksPerSecond));
}

bool renderZoneClock(uint64_t universalFileTime, int64_t offset, const char* format, char* buffer,
                     size_t size) {
    // Unsigned addition: a negative offset wraps back as intended.
    const uint64_t zoneTime = universalFileTime + static_cast<uint64_t>(offset);
    CalendarDate date;
    if (!systemDateOf(zoneTime, &date)) {
        return false;
    }
    std::tm record;
    calendarRecord(date, &record);
    formatClockText(buffer, size, format, &record);
    return true;
}

int64_t unixSecondsFromFileTime(uint64_t fileTime) {
    constexpr int64_t kUnixEpochInFileTimeSeconds = 11644473600LL;
    return static_cast<int64_t>(fileTime / kFileTimeTicksPerSecond) - kUnixEpochInFileTimeSeconds;
}

void updateClocks() {
    const bool localShown = slotOf(SlotLocalTime) != -1;
    const bool universalShown = slotOf(SlotUniversalTime) != -1;
    // Both clocks in Telvane's locale; the process's is put back at the end.
    const ClockLocale locale(settings.localeString,
                             (localShown && usesLocaleNames(settings.localTimeFormat)) ||
                                 (universalShown && usesLocaleNames(settings.universalTimeFormat)));
    // Both clocks from the one reading.
    const uint64_t universalFileTime = readUniversalFileTime();
    std::tm local;
    bool localInDaylight = false;
    if (readLocalTime(unixSecondsFromFileTime(universalFileTime), &local)) {
        localInDaylight = local.tm_isdst > 0;
        // Each clock is formatted only when shown.
        if (localShown) {
            formatClockText(clockText, sizeof clockText, settings.localTimeFormat, &local);
            writeSegment(slotOf(SlotLocalTime), clockText);
        }
    }
    if (!universalShown) {
        return;
    }
    const int64_t offset =
        zoneOffset(settings.timeZone, settings.daylightSavingTime, localInDaylight);
    if (renderZoneClock(universalFileTime, offset, settings.universalTimeFormat, clockText,
                        sizeof clockText)) {
        writeSegment(slotOf(SlotUniversalTime), clockText);
    }
}
