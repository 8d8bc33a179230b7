// The shell's side of the plugin contract: the functions blackbox.exe
// exports, the messages it sends and receives, and its style block.
// The plugin imports these through the import library made from
// blackbox.def; the stand-in shell under tools/ defines them from this
// same header, so both sides always agree. shell-exports.txt lists the
// names a real shell exports, which both are checked against.
#pragma once

#include <cstddef>

#include "wintypes.h"

// The stand-in shell exports these through a .def file made from
// shell-exports.txt, under the names a real shell gives them.
#define BBAPI extern "C"

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

// Indices of GetSettingPtr: 1..6 are style blocks, 12 and 14 integers.
enum : int {
    STYLE_TOOLBAR = 1,
    STYLE_BUTTON = 2,
    STYLE_BUTTON_PRESSED = 3,
    STYLE_LABEL = 4,
    STYLE_WINDOW_LABEL = 5,
    STYLE_CLOCK = 6,
    SETTING_BORDER_WIDTH = 12,
    SETTING_BEVEL_WIDTH = 14,
};

// SnapWindowToEdge's flag: snap to the whole screen, not its work area.
constexpr UINT SNAP_WHOLE_SCREEN = 1;

// The 300-byte style block. The plugin reads three fields: the text colour
// at 24, the font height at 28 and the face name at 44; it copies the
// block whole and hands it back to MakeStyleGradient unchanged, never
// writing into one or making one of its own. The shell's other known
// fields follow the face name. Where no field is known, our stand-in
// keeps what it draws gradients with; a real shell keeps its own there.
struct StyleItem {
    int gradientType;        // 0: stand-in's: 0 solid, 1 horizontal, 2 vertical
    COLORREF color;          // 4: stand-in's: gradient start
    COLORREF colorTo;        // 8: stand-in's: gradient end
    int unknown12[3];        //
    COLORREF textColor;      // 24
    int fontHeight;          // 28
    int fontWeight;          // 32: stand-in's
    int justify;             // 36: stand-in's
    int unknown40;           //
    char fontFace[128];      // 44
    int version;             // 172
    int marginWidth;         // 176
    int borderWidth;         // 180
    COLORREF borderColor;    // 184
    int unknown188[2];       //
    unsigned char bordered;  // 196
    unsigned char unknown197[103];
};
static_assert(sizeof(StyleItem) == 300, "the style block is 300 bytes");
static_assert(offsetof(StyleItem, textColor) == 24, "text colour at 24");
static_assert(offsetof(StyleItem, fontHeight) == 28, "font height at 28");
static_assert(offsetof(StyleItem, fontFace) == 44, "face name at 44");
static_assert(offsetof(StyleItem, version) == 172 && offsetof(StyleItem, marginWidth) == 176 &&
                  offsetof(StyleItem, borderWidth) == 180 &&
                  offsetof(StyleItem, borderColor) == 184 && offsetof(StyleItem, bordered) == 196,
              "the shell's fields after the face name");

// Menus are the shell's own objects; the plugin only holds handles.
struct Menu;
struct MenuItem;

BBAPI HWND GetBBWnd(void);
BBAPI void* GetSettingPtr(int index);
BBAPI void MakeStyleGradient(HDC hdc, RECT* rect, StyleItem* style, bool withBorder);
BBAPI void SnapWindowToEdge(WINDOWPOS* pos, LPARAM distance, UINT flags);
BBAPI void MakeSticky(HWND window);
BBAPI void RemoveSticky(HWND window);
BBAPI BOOL BBExecute(HWND owner, const char* verb, const char* file, const char* args,
                     const char* directory, int showCommand, bool noErrorMessages);
BBAPI bool FileExists(const char* path);
// The shell's one stdcall function: a 32-bit shell exports it decorated,
// as _GetBlackboxPath@8. The plugin does not import it (its import library
// leaves it out): the shell's folder is its program file's folder.
BBAPI LPSTR WINAPI GetBlackboxPath(LPSTR buffer, int size);

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
