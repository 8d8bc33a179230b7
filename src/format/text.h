#pragma once

#include <cstdarg>
#include <cstddef>

// Bounded text helpers. Every metric and setting text goes through these,
// so no caller has to reason about truncation or termination on its own.

// Copies at most size-1 characters of `source` (null counts as "") and
// always terminates; reads no further than it writes.
void copyText(char* destination, size_t size, const char* source);

#if defined(_WIN32)
#define TELVANE_PRINTF(f, a) __attribute__((format(ms_printf, f, a)))
#else
#define TELVANE_PRINTF(f, a) __attribute__((format(printf, f, a)))
#endif

// snprintf that always terminates. On Windows it uses the system C
// library's formatter, which keeps the DLL free of a second printf; only
// the conversions both agree on (d, u, c, s, x, widths, zero padding) are
// meant to be used.
void formatText(char* destination, size_t size, const char* format, ...) TELVANE_PRINTF(3, 4);
void formatTextV(char* destination, size_t size, const char* format, va_list args);
