// Script commands. Each prints only lines that begin with its own word
// and a colon, so a test can read the output line by line.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "shell.h"

#include <commctrl.h>

namespace {

constexpr unsigned kLongestWait = 600000;

// "word rest": the rest is everything after the first space, as written.
void splitCommand(const std::string& line, std::string& word, std::string& rest) {
    size_t space = line.find(' ');
    word = line.substr(0, space);
    rest = space == std::string::npos ? std::string() : line.substr(space + 1);
}

bool parseInts(const std::string& text, int count, long* values) {
    const char* p = text.c_str();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtol(p, &end, 10);
        if (end == p) {
            return false;
        }
        p = end;
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    return *p == '\0';
}

void commandError(const char* word, const std::string& reason) {
    shell::say(word, "error: " + reason);
    shell::fail(2);
}

HWND needWindow(const char* word) {
    HWND window = shell::pluginWindow();
    if (!window) {
        commandError(word, "the plugin has no window");
    }
    return window;
}

LPARAM cursorPoint() {
    POINT point{};
    GetCursorPos(&point);
    return MAKELPARAM(point.x, point.y);
}

void printText() {
    if (HWND window = shell::pluginWindow()) {
        UpdateWindow(window);
    }
    shell::say("text", shell::escape(shell::lastDrawnText()));
}

std::string colourText(COLORREF colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

// Each run of the last paint: a text in its colour, a graph or meter with
// its box and colour.
void printRuns() {
    if (HWND window = shell::pluginWindow()) {
        UpdateWindow(window);
    }
    std::string line;
    for (const shell::DrawnRun& run : shell::lastDrawnRuns()) {
        line += line.empty() ? "" : " | ";
        if (run.kind == shell::DrawnRun::Text) {
            line += "text \"" + shell::escape(run.text) + "\" ";
        } else {
            line += std::string(run.kind == shell::DrawnRun::Graph ? "graph " : "meter ") +
                    std::to_string(run.width) + "x" + std::to_string(run.height) + " ";
        }
        line += colourText(run.colour);
    }
    shell::say("runs", line.empty() ? "none" : line);
}

void showMenu() {
    HWND window = needWindow("menu");
    if (!window) {
        return;
    }
    shell::forgetShownMenu();
    SendMessageA(window, WM_NCRBUTTONUP, HTCAPTION, cursorPoint());
    shell::printMenu(shell::shownMenu());
}

void pick(const std::string& rest) {
    std::string path = rest;
    std::string value;
    bool hasValue = false;
    size_t equals = rest.find(" = ");
    if (equals != std::string::npos) {
        path = rest.substr(0, equals);
        value = rest.substr(equals + 3);
        hasValue = true;
    } else if (rest.size() >= 2 && rest.compare(rest.size() - 2, 2, " =") == 0) {
        path = rest.substr(0, rest.size() - 2);
        hasValue = true;
    }
    std::string command;
    if (!shell::menuChoice(shell::shownMenu(), path, hasValue, value, command)) {
        commandError("pick", command);
        return;
    }
    shell::say("pick", shell::escape(command));
    shell::broadcast(command);
}

std::string settingsFile() {
    std::string path = shell::lastSettingsPath();
    return path.empty() ? shell::pluginFolder() + "Telvane.rc" : path;
}

void printSettings() {
    const std::string path = settingsFile();
    std::vector<std::string> lines;
    if (!shell::readLines(path, lines)) {
        shell::say("rc", "(no file)");
        return;
    }
    for (const auto& line : lines) {
        shell::say("rc", shell::escape(line));
    }
}

void listFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((shell::pluginFolder() + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    std::string line;
    for (const auto& name : names) {
        line += (line.empty() ? "" : " ") + shell::escape(name);
    }
    shell::say("files", line);
}

bool writeBitmap(const std::string& path, int width, int height, const std::vector<BYTE>& pixels) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(pixels.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        return false;
    }
    bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
              std::fwrite(&header, sizeof header, 1, out) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return (std::fclose(out) == 0) && ok;
}

// The window's pixels as a bottom-up 24-bit DIB, rows `stride` bytes apart;
// false (with the error reported for `word`) when it has none.
bool captureWindow(const char* word, HWND window, int& width, int& height, size_t& stride,
                   std::vector<BYTE>& pixels) {
    UpdateWindow(window);
    RECT r;
    GetWindowRect(window, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    if (width <= 0 || height <= 0) {
        commandError(word, "the window has no area");
        return false;
    }
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    pixels.assign(stride * static_cast<size_t>(height), 0);
    int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    if (rows != height) {
        commandError(word, "cannot read the window's pixels");
        return false;
    }
    return true;
}

void screenshot(const std::string& path) {
    HWND window = needWindow("screenshot");
    if (!window) {
        return;
    }
    if (path.empty()) {
        commandError("screenshot", "a file name is needed");
        return;
    }
    int width = 0;
    int height = 0;
    size_t stride = 0;
    std::vector<BYTE> pixels;
    if (!captureWindow("screenshot", window, width, height, stride, pixels)) {
        return;
    }
    if (!writeBitmap(path, width, height, pixels)) {
        commandError("screenshot", "cannot write " + path);
        return;
    }
    // A window painted in one colour shows no text, whatever its size.
    std::set<unsigned> colours;
    for (int y = 0; y < height; ++y) {
        const BYTE* row = pixels.data() + stride * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x) {
            const BYTE* p = row + 3 * x;
            colours.insert(p[0] | (p[1] << 8) | (p[2] << 16));
        }
    }
    shell::say("screenshot", shell::escape(path) + " " + std::to_string(width) + "x" +
                                 std::to_string(height) + " " + std::to_string(colours.size()) +
                                 " colours");
}

// How many of the window's pixels have exactly the colour #RRGGBB.
void countPixels(const std::string& rest) {
    const bool hex = rest.size() == 7 && rest[0] == '#' &&
                     std::all_of(rest.begin() + 1, rest.end(),
                                 [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
    if (!hex) {
        commandError("pixels", "usage: pixels #RRGGBB");
        return;
    }
    const unsigned long rgb = std::strtoul(rest.c_str() + 1, nullptr, 16);
    const COLORREF wanted = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    HWND window = needWindow("pixels");
    int width = 0;
    int height = 0;
    size_t stride = 0;
    std::vector<BYTE> pixels;
    if (!window || !captureWindow("pixels", window, width, height, stride, pixels)) {
        return;
    }
    long count = 0;
    for (int y = 0; y < height; ++y) {
        const BYTE* row = pixels.data() + stride * static_cast<size_t>(y);
        for (int x = 0; x < width; ++x) {
            const BYTE* p = row + 3 * x;  // blue, green, red
            count += RGB(p[2], p[1], p[0]) == wanted;
        }
    }
    shell::say("pixels", colourText(wanted) + " " + std::to_string(count));
}

// A drag as the user makes it: the plugin's hit test must call the point
// caption and the plugin must let the button-down through; then the
// window moves (the plugin sees WM_WINDOWPOSCHANGING/CHANGED) and the
// move ends.
void moveWindow(const std::string& rest) {
    long xy[2];
    if (!parseInts(rest, 2, xy)) {
        commandError("move", "usage: move X Y");
        return;
    }
    HWND window = needWindow("move");
    if (!window) {
        return;
    }
    RECT r;
    GetWindowRect(window, &r);
    LPARAM grip = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, grip);
    if (hit != HTCAPTION || !shell::dragWouldStart(window, HTCAPTION, grip)) {
        shell::say("move", "refused");
        return;
    }
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(window, nullptr, static_cast<int>(xy[0]), static_cast<int>(xy[1]), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    GetWindowRect(window, &r);
    shell::say("move", std::to_string(r.left) + " " + std::to_string(r.top));
}

void printWindow() {
    HWND window = shell::pluginWindow();
    if (!window) {
        shell::say("window", "none");
        return;
    }
    RECT r;
    GetWindowRect(window, &r);
    bool topmost = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    shell::say("window", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                             std::to_string(r.right - r.left) + " " +
                             std::to_string(r.bottom - r.top) +
                             (IsWindowVisible(window) ? " visible" : " hidden") +
                             (topmost ? " topmost" : " nottopmost") +
                             (shell::isDocked(window) ? " docked" : " floating"));
}

// The layered state a user sees as the window's opacity.
void printAlpha() {
    HWND window = needWindow("alpha");
    if (!window) {
        return;
    }
    if (!(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED)) {
        shell::say("alpha", "none");
        return;
    }
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (GetLayeredWindowAttributes(window, &key, &alpha, &flags) && (flags & LWA_ALPHA)) {
        shell::say("alpha", std::to_string(alpha));
    } else {
        shell::say("alpha", "layered");
    }
}

BOOL CALLBACK collectTooltip(HWND window, LPARAM lParam) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (_stricmp(name, TOOLTIPS_CLASSA) == 0) {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    }
    return TRUE;
}

// Every tooltip control of this thread (the plugin's, as the shell makes
// none), whether it shows, and each tool's text.
void printTooltips() {
    std::vector<HWND> tips;
    EnumThreadWindows(GetCurrentThreadId(), collectTooltip, reinterpret_cast<LPARAM>(&tips));
    if (tips.empty()) {
        shell::say("tooltip", "none");
        return;
    }
    for (HWND tip : tips) {
        LRESULT count = SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0);
        shell::say("tooltip", std::string(IsWindowVisible(tip) ? "visible" : "hidden") + " " +
                                  std::to_string(count) + (count == 1 ? " tool" : " tools"));
        for (LRESULT i = 0; i < count; ++i) {
            TOOLINFOA tool{};
            tool.cbSize = sizeof tool;
            if (!SendMessageA(tip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i),
                              reinterpret_cast<LPARAM>(&tool))) {
                continue;
            }
            // The wide form: the narrow one gives at most 80 characters.
            WCHAR wide[1024] = {};
            TOOLINFOW query{};
            query.cbSize = sizeof query;
            query.hwnd = tool.hwnd;
            query.uId = tool.uId;
            query.lpszText = wide;
            SendMessageW(tip, TTM_GETTEXTW, sizeof wide / sizeof wide[0],
                         reinterpret_cast<LPARAM>(&query));
            wide[sizeof wide / sizeof wide[0] - 1] = L'\0';
            char text[2048] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            text[sizeof text - 1] = '\0';
            shell::say("tooltip", "tool " + std::to_string(tool.uId) + " " +
                                      std::to_string(tool.rect.right - tool.rect.left) + "x" +
                                      std::to_string(tool.rect.bottom - tool.rect.top) + " \"" +
                                      shell::escape(text) + "\"");
        }
    }
}

// The escapes output uses (\r \n \t \\ \xHH), read back, so a script can
// write any byte.
bool unescape(const std::string& text, std::string& bytes) {
    bytes.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size()) {
            return false;
        }
        switch (text[i]) {
            case 'r':
                bytes += '\r';
                break;
            case 'n':
                bytes += '\n';
                break;
            case 't':
                bytes += '\t';
                break;
            case '\\':
                bytes += '\\';
                break;
            case 'x': {
                const std::string hex = text.substr(i + 1, 2);
                if (hex.size() != 2 || !std::isxdigit(static_cast<unsigned char>(hex[0])) ||
                    !std::isxdigit(static_cast<unsigned char>(hex[1]))) {
                    return false;
                }
                bytes += static_cast<char>(std::strtoul(hex.c_str(), nullptr, 16));
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

// rcwrite TEXT, rcappend TEXT, rcrepeat COUNT TEXT: writes the settings
// file directly, bypassing the shell's own writer, as damage would.
void writeSettingsFile(const char* word, const std::string& rest) {
    long count = 1;
    std::string text = rest;
    if (std::string(word) == "rcrepeat") {
        char* end = nullptr;
        count = std::strtol(rest.c_str(), &end, 10);
        if (end == rest.c_str() || *end != ' ' || count < 0) {
            commandError(word, "usage: rcrepeat COUNT TEXT");
            return;
        }
        text = end + 1;
    }
    std::string bytes;
    if (!unescape(text, bytes)) {
        commandError(word, "a backslash must start \\r \\n \\t \\\\ or \\xHH");
        return;
    }
    const std::string path = settingsFile();
    FILE* file = std::fopen(path.c_str(), std::string(word) == "rcwrite" ? "wb" : "ab");
    bool ok = file != nullptr;
    for (long i = 0; ok && i < count; ++i) {
        ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    if (file && std::fclose(file) != 0) {
        ok = false;
    }
    if (!ok) {
        commandError(word, "cannot write " + shell::escape(path));
    }
}

// The optional argument of start and restart: "slit" or "floating".
bool chooseStartWay(const char* word, const std::string& way) {
    if (way.empty()) {
        return true;
    }
    if (way != "slit" && way != "floating") {
        commandError(word, "usage: " + std::string(word) + " [slit|floating]");
        return false;
    }
    if (!shell::setStartWay(way == "slit")) {
        commandError(word, "the plugin cannot be started " +
                               std::string(way == "slit" ? "in a slit" : "floating"));
        return false;
    }
    return true;
}

// "COUNT SEED [show]"
void fuzzCommand(const std::string& rest) {
    char* end = nullptr;
    const long count = std::strtol(rest.c_str(), &end, 10);
    char* seedEnd = nullptr;
    const unsigned long long seed = std::strtoull(end, &seedEnd, 10);
    std::string tail = seedEnd;
    tail.erase(0, tail.find_first_not_of(' '));
    if (end == rest.c_str() || seedEnd == end || count < 0 || (!tail.empty() && tail != "show")) {
        commandError("fuzzbroadcast", "usage: fuzzbroadcast COUNT SEED [show]");
        return;
    }
    shell::fuzzBroadcasts(count, seed, tail == "show");
}

// "IN OUT", "off", or nothing for the counts of the plugin's reads.
void netCommand(const std::string& rest) {
    if (rest.empty()) {
        shell::printNetwork();
        return;
    }
    if (rest == "off") {
        shell::setNetworkCounts(false, 0, 0);
        return;
    }
    char* end = nullptr;
    const unsigned long long in = std::strtoull(rest.c_str(), &end, 10);
    char* outEnd = nullptr;
    const unsigned long long out = std::strtoull(end, &outEnd, 10);
    // strtoull would take a negative count modulo 2^64.
    if (end == rest.c_str() || outEnd == end || *outEnd != '\0' ||
        std::strchr(rest.c_str(), '-') != nullptr) {
        commandError("net", "usage: net [IN OUT|off]");
        return;
    }
    shell::setNetworkCounts(true, in, out);
}

// "N" or "off": the interface of the default route, then the notification.
void routeCommand(const std::string& rest) {
    char* end = nullptr;
    const unsigned long index = std::strtoul(rest.c_str(), &end, 10);
    const bool off = rest == "off";
    if (!off && (rest.empty() || end == rest.c_str() || *end != '\0' || rest[0] == '-')) {
        commandError("route", "usage: route N|off");
        return;
    }
    const int notified = shell::changeRoute(!off, index);
    shell::say("route", (off ? std::string("off") : std::to_string(index)) + ", " +
                            std::to_string(notified) + " notified");
}

// The process's error mode, as the shell itself would set it.
void errorMode(const std::string& rest) {
    if (!rest.empty()) {
        char* end = nullptr;
        const unsigned long mode = std::strtoul(rest.c_str(), &end, 16);
        if (end == rest.c_str() || *end != '\0') {
            commandError("errormode", "usage: errormode [HEX]");
            return;
        }
        SetErrorMode(static_cast<UINT>(mode));
    }
    using GetErrorModeFn = UINT(WINAPI*)();
    const auto getMode = reinterpret_cast<GetErrorModeFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetErrorMode")));
    if (!getMode) {
        commandError("errormode", "this system cannot tell");
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", getMode());
    shell::say("errormode", text);
}

}  // namespace

namespace shell {

bool runCommand(const std::string& line) {
    std::string word;
    std::string rest;
    splitCommand(line, word, rest);
    long numbers[2];

    if (word == "quit") {
        return false;
    } else if (word == "wait") {
        if (!parseInts(rest, 1, numbers) || numbers[0] < 0) {
            commandError("wait", "usage: wait MS");
        } else {
            pumpFor(static_cast<unsigned>(std::min<long>(numbers[0], kLongestWait)));
        }
    } else if (word == "broadcast") {
        broadcast(rest);
    } else if (word == "text") {
        printText();
    } else if (word == "runs") {
        printRuns();
    } else if (word == "pixels") {
        countPixels(rest);
    } else if (word == "menu") {
        showMenu();
    } else if (word == "pick") {
        pick(rest);
    } else if (word == "rc") {
        printSettings();
    } else if (word == "files") {
        listFiles();
    } else if (word == "screenshot") {
        screenshot(rest);
    } else if (word == "stop") {
        if (!pluginRunning()) {
            commandError("stop", "the plugin is not running");
        } else {
            endPlugin();
        }
    } else if (word == "start") {
        if (pluginRunning()) {
            commandError("start", "the plugin is running");
        } else if (chooseStartWay("start", rest) && !startPlugin()) {
            return false;
        }
    } else if (word == "rcwrite" || word == "rcappend" || word == "rcrepeat") {
        writeSettingsFile(word.c_str(), rest);
    } else if (word == "reload") {
        if (!reloadPlugin()) {
            return false;
        }
    } else if (word == "hold" || word == "release") {
        if (rest != "disk") {
            commandError(word.c_str(), "usage: " + word + " disk");
        } else if (word == "hold") {
            holdDiskQueries();
            say("hold", "disk");
        } else {
            releaseQueries();
            say("release", "disk");
        }
    } else if (word == "xp") {
        if (rest == "refused") {
            say("xp", "refused " + refusedXpLookups());
        } else if (rest.empty() || rest == "off") {
            setXpMode(rest.empty());
            say("xp", std::string(rest.empty() ? "on" : "off") + " from the next start");
        } else {
            commandError("xp", "usage: xp [off|refused]");
        }
    } else if (word == "net") {
        netCommand(rest);
    } else if (word == "route") {
        routeCommand(rest);
    } else if (word == "failload") {
        if (rest.empty()) {
            commandError("failload", "usage: failload DLL|off");
        } else {
            failLibrary(rest == "off" ? std::string() : rest);
        }
    } else if (word == "errormode") {
        errorMode(rest);
    } else if (word == "drive") {
        if (rest != "smart" && rest != "off") {
            commandError("drive", "usage: drive smart|off");
        } else {
            useStandInDrive(rest == "smart");
            say("drive", rest);
        }
    } else if (word == "denyfile") {
        if (rest.empty()) {
            commandError("denyfile", "usage: denyfile PATH|off");
        } else if (rest == "off") {
            denyFile(std::string());
        } else {
            // A bare name lies in the plugin's folder.
            const bool bare = rest.find_first_of("\\/:") == std::string::npos;
            denyFile(bare ? pluginFolder() + rest : rest);
        }
    } else if (word == "queries") {
        printQueries();
    } else if (word == "process") {
        printProcessState();
    } else if (word == "restart") {
        if (chooseStartWay("restart", rest)) {
            endPlugin();
            if (!startPlugin()) {
                return false;
            }
        }
    } else if (word == "failnext") {
        failNextWindow();
    } else if (word == "cursor") {
        if (!parseInts(rest, 2, numbers)) {
            commandError("cursor", "usage: cursor X Y");
        } else {
            SetCursorPos(static_cast<int>(numbers[0]), static_cast<int>(numbers[1]));
            POINT point{};
            GetCursorPos(&point);
            say("cursor", std::to_string(point.x) + " " + std::to_string(point.y));
        }
    } else if (word == "move") {
        moveWindow(rest);
    } else if (word == "window") {
        printWindow();
    } else if (word == "display") {
        if (!parseInts(rest, 2, numbers) || numbers[0] <= 0 || numbers[1] <= 0) {
            commandError("display", "usage: display WIDTH HEIGHT");
        } else if (HWND window = needWindow("display")) {
            int width = static_cast<int>(numbers[0]);
            int height = static_cast<int>(numbers[1]);
            overrideScreenSize(width, height);
            SendMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(width, height));
        }
    } else if (word == "mouse") {
        if (rest != "hover") {
            commandError("mouse", "usage: mouse hover");
        } else if (HWND window = needWindow("mouse")) {
            SendMessageA(window, WM_NCMOUSEMOVE, HTCAPTION, cursorPoint());
        }
    } else if (word == "reconfigure") {
        sendToRegistered(MSG_RECONFIGURE, 0, 0);
    } else if (word == "stylerefresh") {
        sendToRegistered(MSG_STYLE_REFRESH, 0, 0);
    } else if (word == "sticky") {
        // Dead windows count too: a plugin that forgets RemoveSticky shows.
        say("sticky", std::to_string(stickyWindows().size()));
    } else if (word == "registered") {
        int count = 0;
        for (const auto& entry : registrations()) {
            count += std::count(entry.messages.begin(), entry.messages.end(), MSG_BROADCAST);
        }
        say("registered", std::to_string(count));
    } else if (word == "alpha") {
        printAlpha();
    } else if (word == "tooltip") {
        printTooltips();
    } else if (word == "paints") {
        say("paints", std::to_string(takePaintCount()));
    } else if (word == "dialogs") {
        say("dialogs", std::to_string(answeredDialogCount()));
    } else if (word == "menus") {
        say("menus", std::to_string(liveMenuCount()));
    } else if (word == "bench") {
        runBenchmark(rest);
    } else if (word == "fuzzbroadcast") {
        fuzzCommand(rest);
    } else if (word == "resources") {
        printResources();
    } else if (word == "ondialog") {
        if (rest.empty()) {
            commandError("ondialog", "usage: ondialog COMMAND");
        } else {
            runOnNextDialog(rest);
        }
    } else if (word == "echo") {
        say("echo", escape(rest));
    } else {
        say("error", "unknown command: " + escape(word));
        fail(2);
    }
    return true;
}

}  // namespace shell
