#include "fake_shell.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>

namespace {

struct SettingsFile {
    std::map<std::string, std::string> values;  // lower-case key -> text
    std::vector<std::string> writes;
};

std::map<std::string, SettingsFile> files;  // lower-case path
std::set<std::string> existing;             // lower-case path
bool nullStrings = false;
std::vector<std::string> made;
int live = 0;
Menu* shown = nullptr;
StyleItem styles[6];
int bevelWidth = 2;
int borderWidth = 1;
std::string executed;

std::string lower(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return result;
}

const std::string* find(const char* file, const char* key) {
    auto f = files.find(lower(file ? file : ""));
    if (f == files.end()) {
        return nullptr;
    }
    auto v = f->second.values.find(lower(key ? key : ""));
    return v == f->second.values.end() ? nullptr : &v->second;
}

void write(const char* file, const char* key, const std::string& text) {
    std::string path = lower(file ? file : "");
    existing.insert(path);
    files[path].values[lower(key ? key : "")] = text;
    files[path].writes.push_back(key ? key : "");
}

bool parseColor(const char* text, COLORREF* color) {
    unsigned r, g, b;
    char end;
    if (text == nullptr || std::sscanf(text, "#%2x%2x%2x%c", &r, &g, &b, &end) != 3 ||
        std::strlen(text) != 7) {
        return false;
    }
    *color = RGB(r, g, b);
    return true;
}

void dumpInto(std::ostringstream& out, const Menu* menu, int indent) {
    std::string pad(static_cast<size_t>(indent), ' ');
    out << pad << "[" << menu->title << "] " << menu->id << "\n";
    for (const MenuItem& item : menu->items) {
        out << pad;
        switch (item.kind) {
            case MenuItem::Command:
                out << item.title << " -> " << item.command << (item.checked ? " [x]" : "");
                break;
            case MenuItem::Number:
                out << item.title << " -> " << item.command << " = " << item.value << " ("
                    << item.minimum << ".." << item.maximum << ")";
                break;
            case MenuItem::Text:
                out << item.title << " -> " << item.command << " = \"" << item.text << "\"";
                break;
            case MenuItem::Separator:
                out << "----";
                break;
            case MenuItem::Submenu:
                out << item.title << " >\n";
                if (item.submenu != nullptr) {
                    dumpInto(out, item.submenu, indent + 2);
                }
                continue;
        }
        out << "\n";
    }
}

MenuItem* addItem(Menu* menu, MenuItem item) {
    if (menu == nullptr) {
        return nullptr;
    }
    menu->items.push_back(std::move(item));
    return &menu->items.back();
}

}  // namespace

namespace fakeshell {

void reset() {
    files.clear();
    existing.clear();
    nullStrings = false;
    made.clear();
    shown = nullptr;
    for (int i = 0; i < 6; ++i) {
        styles[i] = StyleItem{};
        styles[i].textColor = RGB(16 * (i + 1), 0, 0);
        styles[i].fontHeight = 11 + i;
        std::snprintf(styles[i].fontFace, sizeof styles[i].fontFace, "Face %d", i + 1);
    }
    bevelWidth = 2;
    borderWidth = 1;
    executed.clear();
}

void addFile(const std::string& path) { existing.insert(lower(path)); }

void setValue(const std::string& file, const std::string& key, const std::string& text) {
    std::string path = lower(file);
    existing.insert(path);
    files[path].values[lower(key)] = text;
}

bool hasValue(const std::string& file, const std::string& key) {
    return find(file.c_str(), key.c_str()) != nullptr;
}

std::string value(const std::string& file, const std::string& key) {
    const std::string* text = find(file.c_str(), key.c_str());
    return text ? *text : std::string();
}

const std::vector<std::string>& writtenKeys(const std::string& file) {
    static const std::vector<std::string> none;
    auto f = files.find(lower(file));
    return f == files.end() ? none : f->second.writes;
}

void setReadStringReturnsNull(bool on) { nullStrings = on; }

const std::vector<std::string>& madeMenus() { return made; }
void forgetMadeMenus() { made.clear(); }
int liveMenus() { return live; }
Menu* shownMenu() { return shown; }

std::string dump(const Menu* menu) {
    std::ostringstream out;
    if (menu != nullptr) {
        dumpInto(out, menu, 0);
    }
    return out.str();
}

StyleItem& style(int index) { return styles[index >= 1 && index <= 6 ? index - 1 : 0]; }
int& settingInt(int index) { return index == SETTING_BEVEL_WIDTH ? bevelWidth : borderWidth; }

const std::string& lastExecuted() { return executed; }

}  // namespace fakeshell

namespace {
[[maybe_unused]] const bool ready = (fakeshell::reset(), true);
}

// ---- the shell's exports ----

HWND GetBBWnd(void) { return reinterpret_cast<HWND>(0xbb); }

void* GetSettingPtr(int index) {
    if (index >= STYLE_TOOLBAR && index <= STYLE_CLOCK) {
        return &styles[index - 1];
    }
    if (index == SETTING_BEVEL_WIDTH) {
        return &bevelWidth;
    }
    if (index == SETTING_BORDER_WIDTH) {
        return &borderWidth;
    }
    return nullptr;
}

void MakeStyleGradient(HDC, RECT*, StyleItem*, bool) {}
void SnapWindowToEdge(WINDOWPOS*, LPARAM, UINT) {}
void MakeSticky(HWND) {}
void RemoveSticky(HWND) {}

BOOL BBExecute(HWND, const char*, const char* file, const char*, const char*, int, bool) {
    executed = file ? file : "";
    return 1;
}

bool FileExists(const char* path) { return path && existing.count(lower(path)) != 0; }

int ReadInt(const char* file, const char* key, int defaultValue) {
    const std::string* text = find(file, key);
    return text ? static_cast<int>(std::strtoll(text->c_str(), nullptr, 10)) : defaultValue;
}

bool ReadBool(const char* file, const char* key, bool defaultValue) {
    const std::string* text = find(file, key);
    if (text == nullptr) {
        return defaultValue;
    }
    std::string word = lower(*text);
    return word == "true" ? true : word == "false" ? false : defaultValue;
}

COLORREF ReadColor(const char* file, const char* key, const char* defaultText) {
    const std::string* text = find(file, key);
    COLORREF color = 0;
    if (!(text && parseColor(text->c_str(), &color))) {
        parseColor(defaultText, &color);
    }
    return color;
}

const char* ReadString(const char* file, const char* key, const char* defaultValue) {
    if (nullStrings) {
        return nullptr;
    }
    const std::string* text = find(file, key);
    return text ? text->c_str() : defaultValue;
}

void WriteInt(const char* file, const char* key, int value) {
    write(file, key, std::to_string(value));
}

void WriteBool(const char* file, const char* key, bool value) {
    write(file, key, value ? "true" : "false");
}

void WriteColor(const char* file, const char* key, COLORREF value) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(value & 0xff),
                  static_cast<unsigned>((value >> 8) & 0xff),
                  static_cast<unsigned>((value >> 16) & 0xff));
    write(file, key, text);
}

void WriteString(const char* file, const char* key, const char* value) {
    write(file, key, value ? value : "");
}

Menu* MakeNamedMenu(const char* title, const char* id, bool popup) {
    Menu* menu = new Menu{title ? title : "", id ? id : "", popup, {}};
    made.push_back(menu->title + "/" + menu->id);
    ++live;
    return menu;
}

MenuItem* MakeMenuItem(Menu* menu, const char* title, const char* command, bool checked) {
    return addItem(menu, {MenuItem::Command, title ? title : "", command ? command : "", checked,
                          0, 0, 0, "", nullptr});
}

MenuItem* MakeMenuItemInt(Menu* menu, const char* title, const char* command, int value,
                          int minimum, int maximum) {
    return addItem(menu, {MenuItem::Number, title ? title : "", command ? command : "", false,
                          value, minimum, maximum, "", nullptr});
}

MenuItem* MakeMenuItemString(Menu* menu, const char* title, const char* command,
                             const char* text) {
    return addItem(menu, {MenuItem::Text, title ? title : "", command ? command : "", false, 0, 0,
                          0, text ? text : "", nullptr});
}

MenuItem* MakeMenuNOP(Menu* menu, const char* title) {
    return addItem(menu, {MenuItem::Separator, title ? title : "", "", false, 0, 0, 0, "",
                          nullptr});
}

MenuItem* MakeSubmenu(Menu* parent, Menu* child, const char* title) {
    return addItem(parent, {MenuItem::Submenu, title ? title : "", "", false, 0, 0, 0, "",
                            child});
}

void ShowMenu(Menu* menu) { shown = menu; }

void DelMenu(Menu* menu) {
    if (menu == nullptr) {
        return;
    }
    for (MenuItem& item : menu->items) {
        if (item.kind == MenuItem::Submenu) {
            DelMenu(item.submenu);
        }
    }
    if (shown == menu) {
        shown = nullptr;
    }
    delete menu;
    --live;
}
