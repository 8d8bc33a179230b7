#include "format/text.h"

#include <cstdio>

void copyText(char* destination, size_t size, const char* source) {
    if (destination == nullptr || size == 0) {
        return;
    }
    size_t length = 0;
    if (source != nullptr) {
        while (length + 1 < size && source[length] != '\0') {
            destination[length] = source[length];
            ++length;
        }
    }
    destination[length] = '\0';
}

void formatText(char* destination, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    formatTextV(destination, size, format, args);
    va_end(args);
}

void formatTextV(char* destination, size_t size, const char* format, va_list args) {
    if (destination == nullptr || size == 0) {
        return;
    }
#if defined(_WIN32)
    // The system's _vsnprintf leaves the buffer unterminated when the
    // text does not fit.
    _vsnprintf(destination, size, format, args);
#else
    std::vsnprintf(destination, size, format, args);
#endif
    destination[size - 1] = '\0';
}
