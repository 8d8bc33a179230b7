// The shell's side of the plugin contract: the functions blackbox.exe
// exports, the messages it sends and receives, and its style block.
// The plugin imports these through the import library made from
// blackbox.def; the stand-in shell under tools/ defines them from this
// same header, so both sides always agree.
#pragma once

#include <cstddef>

#include "wintypes.h"

#if defined(_WIN32) && defined(TELVANE_SHELL_EXPORTS)
#define BBAPI extern "C" __declspec(dllexport)
#else
#define BBAPI extern "C"
#endif

// Host messages (numbers fixed by the shell).
enum : unsigned {
    MSG_REGISTER = 10001,
    MSG_UNREGISTER = 10002,
    MSG_RECONFIGURE = 10103,
    MSG_HIDE_MENUS = 10302,
    MSG_STYLE_REFRESH = 10881,
    MSG_BROADCAST = 10901,
    SLIT_ADD = 11001,
    SLIT_REMOVE = 11002,
    SLIT_UPDATE = 11003,
};

// Style indices of GetSettingPtr.
enum : int {
    STYLE_TOOLBAR = 1,
    STYLE_BUTTON = 2,
    STYLE_BUTTON_PRESSED = 3,
    STYLE_LABEL = 4,
    STYLE_WINDOW_LABEL = 5,
    STYLE_CLOCK = 6,
    SETTING_BEVEL_WIDTH = 12,  // integer
    SETTING_BORDER_WIDTH = 14, // integer
};

// The 300-byte style block. The plugin relies on three fields only: the
// text colour at 24, the font height at 28 and the face name at 44. The
// other fields are what our stand-in shell draws gradients with; a real
// shell may keep anything there, and the plugin passes the block back to
// MakeStyleGradient unchanged.
struct StyleItem {
    int gradientType;      // 0 solid, 1 horizontal, 2 vertical
    COLORREF color;        // gradient start
    COLORREF colorTo;      // gradient end
    COLORREF borderColor;  //
    int borderWidth;       //
    int bevel;             //
    COLORREF textColor;    // 24: contract
    int fontHeight;        // 28: contract
    int fontWeight;        //
    int justify;           //
    int marginWidth;       //
    char fontFace[256];    // 44: contract
};
static_assert(sizeof(StyleItem) == 300, "the style block is 300 bytes");
static_assert(offsetof(StyleItem, textColor) == 24, "text colour at 24");
static_assert(offsetof(StyleItem, fontHeight) == 28, "font height at 28");
static_assert(offsetof(StyleItem, fontFace) == 44, "face name at 44");

// Menus are the shell's own objects; the plugin only holds handles.
struct Menu;
struct MenuItem;

BBAPI HWND GetBBWnd(void);
BBAPI void* GetSettingPtr(int index);
BBAPI void MakeStyleGradient(HDC hdc, RECT* rect, StyleItem* style, bool withBorder);
BBAPI void SnapWindowToEdge(WINDOWPOS* pos, int distance, int flags);
BBAPI bool MakeSticky(HWND window);
BBAPI void RemoveSticky(HWND window);
BBAPI BOOL BBExecute(HWND owner, const char* verb, const char* file, const char* args,
                     const char* directory, int showCommand, bool noErrorMessages);
BBAPI bool FileExists(const char* path);
BBAPI char* GetBlackboxPath(char* buffer, int size);

BBAPI int ReadInt(const char* file, const char* key, int defaultValue);
BBAPI bool ReadBool(const char* file, const char* key, bool defaultValue);
BBAPI COLORREF ReadColor(const char* file, const char* key, const char* defaultText);
BBAPI const char* ReadString(const char* file, const char* key, const char* defaultValue);
BBAPI void WriteInt(const char* file, const char* key, int value);
BBAPI void WriteBool(const char* file, const char* key, bool value);
BBAPI void WriteColor(const char* file, const char* key, COLORREF value);
BBAPI void WriteString(const char* file, const char* key, const char* value);

BBAPI Menu* MakeNamedMenu(const char* title, const char* id, bool popup);
BBAPI MenuItem* MakeMenuItem(Menu* menu, const char* title, const char* command, bool checked);
BBAPI MenuItem* MakeMenuItemInt(Menu* menu, const char* title, const char* command, int value,
                                int minimum, int maximum);
BBAPI MenuItem* MakeMenuItemString(Menu* menu, const char* title, const char* command,
                                   const char* text);
BBAPI MenuItem* MakeMenuNOP(Menu* menu, const char* title);
BBAPI MenuItem* MakeSubmenu(Menu* parent, Menu* child, const char* title);
BBAPI void ShowMenu(Menu* menu);
BBAPI void DelMenu(Menu* menu);
