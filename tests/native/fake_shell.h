// An in-memory blackbox.exe for the native tests: it defines every
// function of host/bbapi.h. Settings files are key/value stores (keys
// matched case-insensitively, like the shell), menus are plain trees that
// tests can walk or dump, and window services do nothing.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "host/bbapi.h"

struct MenuItem {
    enum Kind { Command, Number, Text, Separator, Submenu };
    Kind kind;
    std::string title;
    std::string command;
    bool checked;
    int value, minimum, maximum;  // Number
    std::string text;             // Text
    Menu* submenu;                // Submenu: owned by this item's menu
};

struct Menu {
    std::string title;
    std::string id;
    bool popup;
    std::deque<MenuItem> items;  // a deque keeps returned item pointers valid
};

namespace fakeshell {

// Forgets every file, value and record; menus still
// alive stay alive (DelMenu is the only way to free them).
void reset();

// Files that FileExists reports; a write creates its file too.
void addFile(const std::string& path);

// The raw text stored for key in file, as a written settings file holds it.
void setValue(const std::string& file, const std::string& key, const std::string& text);
bool hasValue(const std::string& file, const std::string& key);
std::string value(const std::string& file, const std::string& key);
// Keys in the order they were written to file, spelled as written.
const std::vector<std::string>& writtenKeys(const std::string& file);
// Makes ReadString answer null, as a broken shell might.
void setReadStringReturnsNull(bool on);

// Named menus in the order they were made, as "title/id".
const std::vector<std::string>& madeMenus();
// Empties that list alone, for callers that make menus without end.
void forgetMadeMenus();
// Menus made and not yet freed by DelMenu.
int liveMenus();
Menu* shownMenu();
// One line per menu heading and item, nested menus indented.
std::string dump(const Menu* menu);

// The six style blocks (index 1..6) and the two integers (12, 14) that
// GetSettingPtr hands out. After reset, block n has text colour
// RGB(16 * n, 0, 0), font height 10 + n and face "Face n"; 12 is 2, 14 is 1.
StyleItem& style(int index);
int& settingInt(int index);

// The file argument of the last BBExecute, empty if none.
const std::string& lastExecuted();

}  // namespace fakeshell
