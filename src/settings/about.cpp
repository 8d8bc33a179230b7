#include "settings/about.h"

#include "format/text.h"
#include "format/tokens.h"

namespace {

// What follows the token lines.
const char kEscapesAndClockHelp[] =
    "\\n insert a newline\r\n"
    "%% percentage character\r\n"
    "\r\n"
    "Clock Format:\r\n"
    "%a Abbreviated weekday name \r\n"
    "%A Full weekday name \r\n"
    "%b Abbreviated month name \r\n"
    "%B Full month name \r\n"
    "%c Date and time representation appropriate for locale \r\n"
    "%d Day of month as decimal number (01 - 31) \r\n"
    "%H Hour in 24-hour format (00 - 23) \r\n"
    "%I Hour in 12-hour format (01 - 12) \r\n"
    "%j Day of year as decimal number (001 - 366) \r\n"
    "%m Month as decimal number (01 - 12) \r\n"
    "%M Minute as decimal number (00 - 59) \r\n"
    "%p Current locale's A.M./P.M. indicator for 12-hour clock \r\n"
    "%S Second as decimal number (00 - 59) \r\n"
    "%U Week of year as decimal number, with Sunday as first day of week (00 - 53) \r\n"
    "%w Weekday as decimal number (0 - 6; Sunday is 0) \r\n"
    "%W Week of year as decimal number, with Monday as first day of week (00 - 53) \r\n"
    "%x Date representation for current locale \r\n"
    "%X Time representation for current locale \r\n"
    "%y Year without century, as decimal number (00 - 99) \r\n"
    "%Y Year with century, as decimal number \r\n"
    "%z Time-zone name or abbreviation; no characters if time zone is unknown \r\n"
    "%Z same as above \r\n"
    "\r\n"
    "The # flag modifies some of the above as follows:\r\n"
    "%#c Long date and time representation, appropriate for current locale. "
    "For example: \"Tuesday, March 14, 1995, 12:41:29\". \r\n"
    "%#x Long date representation, appropriate to current locale. "
    "For example: \"Tuesday, March 14, 1995\". \r\n"
    "%#d,H,I,j,m,M,S,U,w,W,y,Y Remove leading zeros (if any). \r\n"
    "%#a,A,b,B,p,X,z,Z,% # flag is ignored";

// "String Format:", a line per token, then the lines above: about 3 KB.
char helpText[4096];

}  // namespace

const char* aboutHelpText() {
    if (helpText[0] != '\0') {
        return helpText;
    }
    size_t used = 0;
    auto append = [&used](const char* text) {
        copyText(helpText + used, sizeof helpText - used, text);
        while (helpText[used] != '\0') {
            ++used;
        }
    };
    append("String Format:\r\n");
    for (const MetricToken& token : kMetricTokens) {
        append("%");
        append(token.code);
        append(token.place == Place::PerDrive ? "[A-Z] " : " ");
        append(token.help);
        append("\r\n");
    }
    append("%Gxx[w] History graph of xx, w pixels wide (4-400, default 40)\r\n"
           "%Mxx[w] Meter of xx, w pixels wide\r\n"
           "    xx:");
    for (const MetricToken& token : kMetricTokens) {
        if (drawnToScale(token.unit)) {
            append(" ");
            append(token.code);
            append(token.place == Place::PerDrive ? "[A-Z]" : "");
        }
    }
    append("\r\n");
    append(kEscapesAndClockHelp);
    return helpText;
}
