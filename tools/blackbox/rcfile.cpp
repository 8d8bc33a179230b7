// Settings files: plain text, one "key: value" a line. Keys match without
// regard to case. Every write rewrites the file through a temporary file
// that then replaces it in one rename, so a crash mid-write leaves either
// the old file or the new one, never half of it.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell.h"

namespace {

std::string lastPath;
std::string stringResult;  // what ReadString hands out

void remember(const char* path) {
    if (path) {
        lastPath = path;
    }
}

// The key as it must open a line: without surrounding blanks and ending
// in a colon. Empty when the key is unusable.
std::string normalKey(const char* key) {
    if (!key) {
        return {};
    }
    std::string k = key;
    if (k.find_first_of("\r\n") != std::string::npos) {
        return {};
    }
    size_t first = k.find_first_not_of(" \t");
    size_t last = k.find_last_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    k = k.substr(first, last - first + 1);
    if (k.back() != ':') {
        k += ':';
    }
    return k.size() > 1 ? k : std::string();
}

// True when `line` holds `key`; `value` then gets the text after the key
// and the blanks that follow it.
bool lineHasKey(const std::string& line, const std::string& key, std::string* value) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.size() - start < key.size()) {
        return false;
    }
    for (size_t i = 0; i < key.size(); ++i) {
        unsigned char a = line[start + i];
        unsigned char b = key[i];
        if (std::tolower(a) != std::tolower(b)) {
            return false;
        }
    }
    if (value) {
        size_t valueStart = line.find_first_not_of(" \t", start + key.size());
        *value = valueStart == std::string::npos ? std::string() : line.substr(valueStart);
    }
    return true;
}

bool findValue(const char* path, const char* key, std::string& value) {
    remember(path);
    std::string k = normalKey(key);
    std::vector<std::string> lines;
    if (!path || k.empty() || !shell::readLines(path, lines)) {
        return false;
    }
    for (const auto& line : lines) {
        if (lineHasKey(line, k, &value)) {
            return true;
        }
    }
    return false;
}

std::string trimmed(const std::string& text) {
    size_t last = text.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

bool parseColor(const std::string& text, COLORREF& colour) {
    std::string t = trimmed(text);
    if (!t.empty() && t[0] == '#') {
        t.erase(0, 1);
    }
    if (t.size() != 6) {
        return false;
    }
    for (char c : t) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    unsigned long rgb = std::strtoul(t.c_str(), nullptr, 16);
    colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    return true;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool writeAll(const std::string& path, const std::vector<std::string>& lines) {
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folderOf(path).c_str(), "rc", 0, temporary)) {
        return false;
    }
    bool ok = false;
    if (FILE* file = std::fopen(temporary, "wb")) {
        ok = true;
        for (const auto& line : lines) {
            ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size() &&
                 std::fwrite("\r\n", 1, 2, file) == 2;
        }
        ok = (std::fflush(file) == 0) && ok;
        ok = (std::fclose(file) == 0) && ok;
    }
    ok = ok && MoveFileExA(temporary, path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileA(temporary);
    }
    return ok;
}

void writeValue(const char* path, const char* key, const std::string& value) {
    remember(path);
    std::string k = normalKey(key);
    if (!path || !*path || k.empty()) {
        return;
    }
    // A line break inside a value would forge further keys.
    std::string v = value;
    for (char& c : v) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    // Written in the writer's spelling, which replaces the old one.
    const std::string written = k + " " + v;

    std::vector<std::string> lines;
    shell::readLines(path, lines);
    bool replaced = false;
    for (auto& line : lines) {
        if (lineHasKey(line, k, nullptr)) {
            line = written;
            replaced = true;
            break;
        }
    }
    if (!replaced) {
        lines.push_back(written);
    }
    if (!writeAll(path, lines)) {
        std::fprintf(stderr, "blackbox: cannot write %s\n", path);
    }
}

}  // namespace

namespace shell {

const std::string& lastSettingsPath() { return lastPath; }

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    std::string content;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        content.append(chunk, got);
    }
    std::fclose(file);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = end + 1;
    }
    return true;
}

}  // namespace shell

BBAPI int ReadInt(const char* file, const char* key, int defaultValue) {
    std::string value;
    if (!findValue(file, key, value)) {
        return defaultValue;
    }
    const char* text = value.c_str();
    char* end = nullptr;
    errno = 0;
    long long number = std::strtoll(text, &end, 10);
    if (end == text) {
        return defaultValue;
    }
    if (number > INT_MAX) {
        return INT_MAX;
    }
    if (number < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(number);
}

BBAPI bool ReadBool(const char* file, const char* key, bool defaultValue) {
    std::string value;
    if (!findValue(file, key, value)) {
        return defaultValue;
    }
    std::string t = trimmed(value);
    if (_stricmp(t.c_str(), "true") == 0) {
        return true;
    }
    if (_stricmp(t.c_str(), "false") == 0) {
        return false;
    }
    return defaultValue;
}

BBAPI COLORREF ReadColor(const char* file, const char* key, const char* defaultText) {
    COLORREF colour = 0;
    std::string value;
    if (findValue(file, key, value) && parseColor(value, colour)) {
        return colour;
    }
    if (defaultText && parseColor(defaultText, colour)) {
        return colour;
    }
    return 0;
}

// The text lives in the shell's buffer until the next ReadString; the
// caller copies it at once.
BBAPI const char* ReadString(const char* file, const char* key, const char* defaultValue) {
    std::string value;
    if (!findValue(file, key, value)) {
        return defaultValue;
    }
    stringResult = value;
    return stringResult.c_str();
}

BBAPI void WriteInt(const char* file, const char* key, int value) {
    writeValue(file, key, std::to_string(value));
}

BBAPI void WriteBool(const char* file, const char* key, bool value) {
    writeValue(file, key, value ? "true" : "false");
}

BBAPI void WriteColor(const char* file, const char* key, COLORREF value) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(value), GetGValue(value),
                  GetBValue(value));
    writeValue(file, key, text);
}

BBAPI void WriteString(const char* file, const char* key, const char* value) {
    writeValue(file, key, value ? value : "");
}
