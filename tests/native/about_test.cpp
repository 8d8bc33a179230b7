#include <gtest/gtest.h>

#include <string>

#include "format/format.h"
#include "settings/about.h"

TEST(AboutHelpText, ListsEveryTokenLineInOrderAndEndsWithoutALineEnd) {
    const char* lines[] = {
        "String Format:", "%CP Percent of CPU usage", "%CN Number of Processes",
        "%RP Percent of Physical Memory usage", "%RT Total Physical Memory (MB)",
        "%RF Free Physical Memory (MB)",
        "%RU Used Physical Memory (MB)", "%SP Percent of Swap Memory usage", "%ST Total Swap Memory (MB)",
        "%SF Free Swap Memory (MB)", "%SU Used Swap Memory (MB)", "%DT[A-Z] Total Disk Space",
        "%DF[A-Z] Free Disk Space", "%DU[A-Z] Used Disk Space", "%DP[A-Z] Percent of Free Disk Space",
        "%DQ[A-Z] Percent of Used Disk Space", "%BP Percent of Battery usage", "%BL Battery Lifetime",
        "%ID Download speed (KB/sec)", "%IU Upload speed (KB/sec)", "%NP IP address", "%NU User name",
        "%NW Workstation name", "%UW Uptime (week:day:hour:min)", "%UD Uptime (day:hour:min)",
        "%UH Uptime (hour:min)", "%H HD Temperature", "%TL Local Time", "%TU Universal Time",
        "%PM Physical Memory usage of BB (KB)", "%PN Peak Physical Memory usage of BB (KB)",
        "%PS Swap Memory usage of BB (KB)", "%PT Peak Swap Memory usage of BB (KB)", "%PG GDI objects of BB",
        "%Gxx[w] History graph of xx, w pixels wide (4-400, default 40)",
        "%Mxx[w] Meter of xx, w pixels wide", "    xx: CP RP SP DP[A-Z] DQ[A-Z] BP ID IU H",
        "\\n insert a newline", "%% percentage character", "", "Clock Format:", "%a ", "%A ", "%b ", "%B ",
        "%c ", "%d ", "%H ", "%I ", "%j ", "%m ", "%M ", "%p ", "%S ", "%U ", "%w ", "%W ", "%x ", "%X ",
        "%y ", "%Y ", "%z ", "%Z same as above ", "", "The # flag modifies some of the above as follows:",
        "%#c ", "%#x ", "%#d,H,I,j,m,M,S,U,w,W,y,Y Remove leading zeros (if any). ",
        "%#a,A,b,B,p,X,z,Z,% # flag is ignored"};
    // Clock lines are listed by their conversion only; the wording of
    // their descriptions is free, with a trailing space.
    const std::string text = aboutHelpText();
    size_t at = 0;
    const size_t count = sizeof lines / sizeof *lines;
    for (size_t i = 0; i < count; ++i) {
        const std::string expected = lines[i];
        size_t end = text.find("\r\n", at);
        ASSERT_EQ(end == std::string::npos, i == count - 1) << "line end after: " << expected;
        const std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        if (expected.size() > 1 && expected.size() <= 4 && expected.back() == ' ') {
            EXPECT_EQ(line.compare(0, expected.size(), expected), 0) << line;
            EXPECT_EQ(line.back(), ' ') << line;
        } else {
            EXPECT_EQ(line, expected);
        }
        at = end + 2;
    }
}

// The token lines are made from the table of metrics: each must name a code
// the compiler takes as a metric, one line per row.
TEST(AboutHelpText, TokenLinesAreExactlyTheCodesTheCompilerKnows) {
    const std::string text = aboutHelpText();
    size_t at = text.find("\r\n") + 2;
    int lines = 0;
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos && text[at] == '%'; at = end + 2) {
        std::string code = text.substr(at + 1, text.find(' ', at) - at - 1);
        if (code == "Gxx[w]") {
            // The graph and meter lines: every code they name makes both.
            const size_t list = text.find("xx:", end) + 3;
            std::string codes = text.substr(list, text.find("\r\n", list) - list) + " ";
            for (size_t c = 1, next; (next = codes.find(' ', c)) != std::string::npos; c = next + 1) {
                std::string drawn = codes.substr(c, next - c);
                if (drawn.size() > 5) drawn.replace(drawn.size() - 5, 5, "C");
                freeSegments();
                compileFormat(("%G" + drawn + "%M" + drawn).c_str(), IdentityTexts{"", "", ""});
                EXPECT_TRUE(formatEngine.forms[0] == Form::Graph &&
                            formatEngine.forms[1] == Form::Meter) << drawn;
            }
            break;
        }
        const size_t drive = code.find("[A-Z]");
        if (drive != std::string::npos) code.replace(drive, 5, "C");
        freeSegments();
        compileFormat(("%" + code).c_str(), IdentityTexts{"ip", "user", "desk"});
        EXPECT_TRUE(formatEngine.segmentCount == 1 && formatEngine.updaters != 0) << code;
        ++lines;
    }
    freeSegments();
    EXPECT_EQ(lines, SlotCount);
}
