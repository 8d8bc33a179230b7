// One line of a log file, as both ways of asking a drive write theirs:
// the ATA attribute log and the NVMe health log.
#pragma once

#include <cstdio>

#include "format/text.h"

// One formatted line, up to 255 characters.
void writeLogLine(FILE* log, const char* format, ...) TELVANE_PRINTF(2, 3);
