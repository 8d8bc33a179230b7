#include "smart/smart_log.h"

#include <cstdarg>

void writeLogLine(FILE* log, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    formatTextV(line, sizeof line, format, args);
    va_end(args);
    std::fputs(line, log);
}
