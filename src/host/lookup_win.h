// Functions that not every Windows version has are found at run time, so
// the DLL still loads where they are missing.
#pragma once

#include <windows.h>

#include <cstring>

// `name` in the loaded module `module`; null when either is missing.
template <typename Fn>
Fn systemFunction(HMODULE module, const char* name) {
    FARPROC address = module ? GetProcAddress(module, name) : nullptr;
    Fn fn;
    static_assert(sizeof fn == sizeof address, "function pointer sizes differ");
    std::memcpy(&fn, &address, sizeof fn);
    return fn;
}
