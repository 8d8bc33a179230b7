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
typedef char* LPSTR;
#define WINAPI

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

// Windows' numbers that portable code hands to the system, by name; the
// Windows build checks each against the system's own constant.
constexpr unsigned kDrawTextCenter = 0x01;      // DT_CENTER
constexpr unsigned kDrawTextRight = 0x02;       // DT_RIGHT
constexpr unsigned kDrawTextVCenter = 0x04;     // DT_VCENTER
constexpr unsigned kDrawTextSingleLine = 0x20;  // DT_SINGLELINE
constexpr unsigned kDrawTextExpandTabs = 0x40;  // DT_EXPANDTABS
constexpr unsigned kDrawTextNoPrefix = 0x800;   // DT_NOPREFIX
constexpr int kHitCaption = 2;                  // HTCAPTION
constexpr int kHitBottomRight = 17;             // HTBOTTOMRIGHT
#ifdef _WIN32
static_assert(kDrawTextCenter == DT_CENTER && kDrawTextRight == DT_RIGHT &&
                  kDrawTextVCenter == DT_VCENTER && kDrawTextSingleLine == DT_SINGLELINE &&
                  kDrawTextExpandTabs == DT_EXPANDTABS && kDrawTextNoPrefix == DT_NOPREFIX,
              "DrawText flags");
static_assert(kHitCaption == HTCAPTION && kHitBottomRight == HTBOTTOMRIGHT, "hit-test codes");
#endif
