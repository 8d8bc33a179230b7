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
std::string fileBytes;     // the settings file being read or rewritten

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

// A line of the file's bytes: [begin, end) without its line break.
struct Line {
    size_t begin;
    size_t end;
};

// Calls `visit` for each line until it returns true; a line ends at LF,
// CR LF or a lone CR. Returns the line it stopped at, if any.
template <typename Visit>
bool findLine(const std::string& content, Visit visit, Line* found) {
    size_t begin = 0;
    while (begin < content.size()) {
        size_t end = begin;
        while (end < content.size() && content[end] != '\r' && content[end] != '\n') {
            ++end;
        }
        const Line line{begin, end};
        if (visit(line)) {
            *found = line;
            return true;
        }
        begin = end + 1;
        if (end < content.size() && content[end] == '\r' && begin < content.size() &&
            content[begin] == '\n') {
            ++begin;
        }
    }
    return false;
}

// True when `line` holds `key`; `value` then gets the text after the key
// and the blanks that follow it.
bool lineHasKey(const std::string& content, const Line& line, const std::string& key,
                std::string* value) {
    size_t start = line.begin;
    while (start < line.end && (content[start] == ' ' || content[start] == '\t')) {
        ++start;
    }
    if (line.end - start < key.size()) {
        return false;
    }
    for (size_t i = 0; i < key.size(); ++i) {
        unsigned char a = content[start + i];
        unsigned char b = key[i];
        if (std::tolower(a) != std::tolower(b)) {
            return false;
        }
    }
    if (value) {
        size_t valueStart = start + key.size();
        while (valueStart < line.end &&
               (content[valueStart] == ' ' || content[valueStart] == '\t')) {
            ++valueStart;
        }
        value->assign(content, valueStart, line.end - valueStart);
    }
    return true;
}

// The whole file, read at once into `content`, which keeps its room from
// call to call: every call sees the file as it is now, and a large file
// costs one pass, not one allocation per line or per call.
bool readFile(const std::string& path, std::string& content) {
    content.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    if (_fseeki64(file, 0, SEEK_END) == 0) {
        const long long size = _ftelli64(file);
        if (size > 0 && static_cast<unsigned long long>(size) < content.max_size()) {
            content.reserve(static_cast<size_t>(size));
        }
        _fseeki64(file, 0, SEEK_SET);
    }
    char chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        content.append(chunk, got);
    }
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool findValue(const char* path, const char* key, std::string& value) {
    remember(path);
    std::string k = normalKey(key);
    std::string& content = fileBytes;
    if (!path || k.empty() || !readFile(path, content)) {
        return false;
    }
    Line line;
    return findLine(
        content, [&](const Line& l) { return lineHasKey(content, l, k, &value); }, &line);
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

// A file the writer creates gets its name in lower case, as the real
// shell's writer gives it; a file that exists keeps its name.
std::string createdName(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return path;
    }
    std::string lowered = path;
    const size_t slash = lowered.find_last_of("\\/");
    for (size_t i = slash == std::string::npos ? 0 : slash + 1; i < lowered.size(); ++i) {
        lowered[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lowered[i])));
    }
    return lowered;
}

bool writeContent(const std::string& path, const std::string& content) {
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(folderOf(path).c_str(), "rc", 0, temporary)) {
        return false;
    }
    bool ok = false;
    if (FILE* file = std::fopen(temporary, "wb")) {
        ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
        ok = (std::fflush(file) == 0) && ok;
        ok = (std::fclose(file) == 0) && ok;
    }
    ok = ok && MoveFileExA(temporary, createdName(path).c_str(),
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

    // Every other byte stays as it was, line breaks included. A file that
    // is there but cannot be read is left alone rather than replaced by
    // this one line.
    std::string& content = fileBytes;
    if (!readFile(path, content) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "blackbox: cannot read %s\n", path);
        return;
    }
    Line line;
    if (findLine(content, [&](const Line& l) { return lineHasKey(content, l, k, nullptr); },
                 &line)) {
        content.replace(line.begin, line.end - line.begin, written);
    } else {
        if (!content.empty() && content.back() != '\n' && content.back() != '\r') {
            content += "\r\n";
        }
        content += written + "\r\n";
    }
    if (!writeContent(path, content)) {
        std::fprintf(stderr, "blackbox: cannot write %s\n", path);
    }
}

}  // namespace

namespace shell {

const std::string& lastSettingsPath() { return lastPath; }

bool readLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::string content;
    if (!readFile(path, content)) {
        return false;
    }
    Line unused;
    findLine(
        content,
        [&](const Line& l) {
            lines.push_back(content.substr(l.begin, l.end - l.begin));
            return false;
        },
        &unused);
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
    // No digits, or a number no int can hold: nothing to read.
    if (end == text || errno == ERANGE || number > INT_MAX || number < INT_MIN) {
        return defaultValue;
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
