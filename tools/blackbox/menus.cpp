// Menus as an in-memory tree. Plugins hold only handles; every handle is
// checked against the set of live menus, so a stale or foreign handle
// does nothing instead of touching freed memory.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <set>

#include "shell.h"

struct MenuItem {
    enum Kind { Command, Number, Text, Separator, Submenu };
    Kind kind = Command;
    std::string title;
    std::string command;
    bool checked = false;
    int value = 0, minimum = 0, maximum = 0;
    std::string text;
    Menu* submenu = nullptr;  // owned: freed with the menu that holds the item
};

struct Menu {
    std::string title;
    std::string id;
    bool popup = false;
    std::vector<std::unique_ptr<MenuItem>> items;
};

namespace {

std::set<Menu*> liveMenus;
Menu* shown = nullptr;

bool isLive(const Menu* menu) { return menu && liveMenus.count(const_cast<Menu*>(menu)) > 0; }

std::string text(const char* s) { return s ? s : ""; }

MenuItem* addItem(Menu* menu, MenuItem::Kind kind, const char* title, const char* command) {
    if (!isLive(menu)) {
        return nullptr;
    }
    auto item = std::make_unique<MenuItem>();
    item->kind = kind;
    item->title = text(title);
    item->command = text(command);
    menu->items.push_back(std::move(item));
    return menu->items.back().get();
}

void printItems(const Menu* menu, int level, std::vector<const Menu*>& path) {
    const std::string indent(2 * level, ' ');
    for (const auto& item : menu->items) {
        std::string line = indent;
        const std::string arrow = " -> " + shell::escape(item->command);
        switch (item->kind) {
            case MenuItem::Command:
                line += (item->checked ? "[x] " : "[ ] ") + shell::escape(item->title) + arrow;
                break;
            case MenuItem::Number:
                line += shell::escape(item->title) + " = " + std::to_string(item->value) + " (" +
                        std::to_string(item->minimum) + ".." + std::to_string(item->maximum) +
                        ")" + arrow;
                break;
            case MenuItem::Text:
                line += shell::escape(item->title) + " = \"" + shell::escape(item->text) + "\"" +
                        arrow;
                break;
            case MenuItem::Separator:
                line += item->title.empty() ? "--" : "-- " + shell::escape(item->title);
                break;
            case MenuItem::Submenu: {
                line += shell::escape(item->title) + "/";
                const Menu* child = item->submenu;
                bool loop = false;
                for (const Menu* above : path) {
                    loop = loop || above == child;
                }
                if (!isLive(child)) {
                    shell::say("menu", line + " (deleted)");
                } else if (loop) {
                    shell::say("menu", line + " (loop)");
                } else {
                    shell::say("menu", line);
                    path.push_back(child);
                    printItems(child, level + 1, path);
                    path.pop_back();
                }
                continue;
            }
        }
        shell::say("menu", line);
    }
}

std::vector<std::string> split(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t slash = path.find('/', start);
        parts.push_back(path.substr(start, slash - start));
        if (slash == std::string::npos) {
            return parts;
        }
        start = slash + 1;
    }
}

bool parseNumber(const std::string& value, long long& number) {
    const char* begin = value.c_str();
    char* end = nullptr;
    number = std::strtoll(begin, &end, 10);
    if (end == begin) {
        return false;
    }
    while (*end == ' ' || *end == '\t') {
        ++end;
    }
    return *end == '\0';
}

}  // namespace

BBAPI Menu* MakeNamedMenu(const char* title, const char* id, bool popup) {
    Menu* menu = new Menu;
    menu->title = text(title);
    menu->id = text(id);
    menu->popup = popup;
    liveMenus.insert(menu);
    return menu;
}

BBAPI MenuItem* MakeMenuItem(Menu* menu, const char* title, const char* command, bool checked) {
    MenuItem* item = addItem(menu, MenuItem::Command, title, command);
    if (item) {
        item->checked = checked;
    }
    return item;
}

BBAPI MenuItem* MakeMenuItemInt(Menu* menu, const char* title, const char* command, int value,
                                int minimum, int maximum) {
    MenuItem* item = addItem(menu, MenuItem::Number, title, command);
    if (item) {
        item->value = value;
        item->minimum = minimum;
        item->maximum = maximum;
    }
    return item;
}

BBAPI MenuItem* MakeMenuItemString(Menu* menu, const char* title, const char* command,
                                   const char* value) {
    MenuItem* item = addItem(menu, MenuItem::Text, title, command);
    if (item) {
        item->text = text(value);
    }
    return item;
}

BBAPI MenuItem* MakeMenuNOP(Menu* menu, const char* title) {
    return addItem(menu, MenuItem::Separator, title, nullptr);
}

BBAPI MenuItem* MakeSubmenu(Menu* parent, Menu* child, const char* title) {
    if (!isLive(child)) {
        return nullptr;
    }
    MenuItem* item = addItem(parent, MenuItem::Submenu, title, nullptr);
    if (item) {
        item->submenu = child;
    }
    return item;
}

BBAPI void ShowMenu(Menu* menu) {
    if (isLive(menu)) {
        shown = menu;
    }
}

// Frees the menu and every submenu linked into it. A menu linked twice,
// or into itself, is freed once.
BBAPI void DelMenu(Menu* menu) {
    if (!isLive(menu)) {
        return;
    }
    liveMenus.erase(menu);
    if (shown == menu) {
        shown = nullptr;
    }
    for (const auto& item : menu->items) {
        if (item->kind == MenuItem::Submenu) {
            DelMenu(item->submenu);
        }
    }
    delete menu;
}

namespace shell {

Menu* shownMenu() { return shown; }
void forgetShownMenu() { shown = nullptr; }
int liveMenuCount() { return static_cast<int>(liveMenus.size()); }

void printMenu(const Menu* menu) {
    if (!isLive(menu)) {
        say("menu", "none");
        return;
    }
    say("menu", escape(menu->title));
    std::vector<const Menu*> path{menu};
    printItems(menu, 1, path);
}

bool menuChoice(const Menu* root, const std::string& path, bool hasValue, const std::string& value,
                std::string& command) {
    if (!isLive(root)) {
        command = "no menu shown";
        return false;
    }
    const Menu* menu = root;
    const std::vector<std::string> parts = split(path);
    for (size_t i = 0; i < parts.size(); ++i) {
        const MenuItem* found = nullptr;
        for (const auto& item : menu->items) {
            if (item->title == parts[i] && item->kind != MenuItem::Separator) {
                found = item.get();
                break;
            }
        }
        if (!found) {
            command = "not found: " + path;
            return false;
        }
        if (i + 1 < parts.size()) {
            if (found->kind != MenuItem::Submenu || !isLive(found->submenu)) {
                command = "not a submenu: " + parts[i];
                return false;
            }
            menu = found->submenu;
            continue;
        }
        switch (found->kind) {
            case MenuItem::Command:
                if (hasValue) {
                    command = "a command item takes no value: " + path;
                    return false;
                }
                command = found->command;
                return true;
            case MenuItem::Number: {
                long long number = 0;
                if (!hasValue || !parseNumber(value, number)) {
                    command = "a number is needed: " + path;
                    return false;
                }
                // A menu's number control cannot leave its range.
                if (found->minimum <= found->maximum) {
                    number = std::max<long long>(found->minimum,
                                                 std::min<long long>(found->maximum, number));
                }
                command = found->command + " " + std::to_string(number);
                return true;
            }
            case MenuItem::Text:
                if (!hasValue) {
                    command = "a text is needed: " + path;
                    return false;
                }
                command = found->command + " " + value;
                return true;
            default:
                command = "not a choice: " + path;
                return false;
        }
    }
    command = "not found: " + path;
    return false;
}

}  // namespace shell
