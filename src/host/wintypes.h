// The few Windows types the shell interface and the portable logic use.
// Windows builds take them from <windows.h>; the native build gets
// look-alikes of the same size so the portable code compiles and is tested
// without the OS.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cstdint>

struct HWND__;
struct HDC__;
struct HINSTANCE__;
typedef HWND__* HWND;
typedef HDC__* HDC;
typedef HINSTANCE__* HINSTANCE;
typedef uint32_t COLORREF;
typedef int BOOL;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct POINT {
    int32_t x;
    int32_t y;
};

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

#define RGB(r, g, b) \
    ((COLORREF)(((uint8_t)(r)) | ((uint16_t)((uint8_t)(g)) << 8) | (((uint32_t)(uint8_t)(b)) << 16)))
#endif
