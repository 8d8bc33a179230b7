// blackbox.exe stand-in: loads one plugin, gives it the shell's services
// and drives it from a script or from standard input, printing what a
// test needs to see. Usage:
//   blackbox.exe [--plugin PATH] [--slit] [--script FILE]
// Exit status: 0, 1 when the plugin cannot be loaded or its start fails,
// 2 for a bad command line or a failed script command, 3 after a crash.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>

#include "shell.h"

namespace {

using BeginFn = int (*)(HINSTANCE);
using BeginSlitFn = int (*)(HINSTANCE, HWND);
using EndFn = void (*)(HINSTANCE);
using InfoFn = const char* (*)(int);

struct Plugin {
    HMODULE module = nullptr;
    std::string folder;
    bool inSlit = false;
    bool running = false;
    BeginFn begin = nullptr;
    BeginSlitFn beginSlit = nullptr;
    EndFn end = nullptr;
    InfoFn info = nullptr;
} plugin;

bool fromScript = false;

// ---- command lines from standard input ----

// Read on a thread of their own so the GUI thread keeps running the
// message loop (timers, painting) while no command is waiting.
struct InputQueue {
    CRITICAL_SECTION lock;
    HANDLE ready = nullptr;
    std::deque<std::string> lines;
    bool ended = false;
} input;

DWORD WINAPI readInput(void*) {
    std::string line;
    char chunk[1024];
    while (std::fgets(chunk, sizeof chunk, stdin)) {
        line += chunk;
        if (line.back() != '\n') {
            continue;  // a longer line: keep reading it
        }
        EnterCriticalSection(&input.lock);
        input.lines.push_back(line);
        LeaveCriticalSection(&input.lock);
        SetEvent(input.ready);
        line.clear();
    }
    EnterCriticalSection(&input.lock);
    if (!line.empty()) {
        input.lines.push_back(line);
    }
    input.ended = true;
    LeaveCriticalSection(&input.lock);
    SetEvent(input.ready);
    return 0;
}

bool nextInputLine(std::string& line) {
    while (true) {
        EnterCriticalSection(&input.lock);
        bool have = !input.lines.empty();
        bool ended = input.ended;
        if (have) {
            line = input.lines.front();
            input.lines.pop_front();
        }
        LeaveCriticalSection(&input.lock);
        if (have) {
            return true;
        }
        if (ended) {
            return false;
        }
        MsgWaitForMultipleObjects(1, &input.ready, FALSE, INFINITE, QS_ALLINPUT);
        shell::pumpPending();
    }
}

// ---- the plugin ----

std::string fullPath(const std::string& path) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full) : path;
}

template <typename Fn>
Fn entry(const char* name) {
    // Through the generic function type, which any function pointer may take.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(plugin.module, name)));
}

std::string info(int field) {
    const char* text = plugin.info ? plugin.info(field) : nullptr;
    return text ? text : "";
}

bool loadPlugin(const std::string& requested) {
    std::string path = fullPath(requested);
    std::string problem;
    if (!shell::checkShellImports(path, &problem)) {
        shell::say("error", "cannot load " + path + ": " + problem);
        return false;
    }
    plugin.module = LoadLibraryA(path.c_str());
    if (!plugin.module) {
        shell::say("error", "cannot load " + path + " (error " + std::to_string(GetLastError()) +
                                ")");
        return false;
    }
    plugin.folder = path.substr(0, path.find_last_of('\\') + 1);
    shell::hookPluginImports(plugin.module);
    plugin.begin = entry<BeginFn>("beginPlugin");
    plugin.beginSlit = entry<BeginSlitFn>("beginSlitPlugin");
    if (!plugin.beginSlit) {
        plugin.beginSlit = entry<BeginSlitFn>("beginPluginEx");
    }
    plugin.end = entry<EndFn>("endPlugin");
    plugin.info = entry<InfoFn>("pluginInfo");
    bool canStart = plugin.inSlit ? plugin.beginSlit != nullptr : plugin.begin != nullptr;
    if (!plugin.end || !canStart) {
        shell::say("error", path + " lacks the plugin entry points");
        return false;
    }
    shell::say("info", shell::escape(info(1) + " " + info(2)));
    return true;
}

// A crash ends the run at once, saying so, rather than waiting for a
// debugger to come.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* exception) {
    std::printf("crash: 0x%08lx at %p\n",
                static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                exception->ExceptionRecord->ExceptionAddress);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

int usage() {
    std::fprintf(stderr, "usage: blackbox.exe [--plugin PATH] [--slit] [--script FILE]\n");
    return 2;
}

}  // namespace

namespace shell {

namespace {
int status = 0;
}

void fail(int code) {
    if (status == 0) {
        status = code;
    }
}

int exitStatus() { return status; }

void say(const char* word, const std::string& text) {
    std::printf("%s: %s\n", word, text.c_str());
    std::fflush(stdout);
}

std::string escape(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02x", c);
                    out += hex;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out;
}

bool scripted() { return fromScript || !_isatty(_fileno(stdin)); }

const std::string& pluginFolder() { return plugin.folder; }

HMODULE pluginModule() { return plugin.module; }

bool setStartWay(bool inSlit) {
    if (inSlit ? !plugin.beginSlit : !plugin.begin) {
        return false;
    }
    plugin.inSlit = inSlit;
    return true;
}

bool startPlugin() {
    applyXpMode();
    HINSTANCE instance = plugin.module;
    int result = plugin.inSlit ? plugin.beginSlit(instance, slitWindow()) : plugin.begin(instance);
    plugin.running = result == 0;
    say("start", std::to_string(result));
    // A failure the script provoked is what it wants to see: the run goes on.
    const bool provoked = takeProvokedFailure();
    if (result != 0 && !provoked) {
        fail(1);
        return false;
    }
    return true;
}

bool pluginRunning() { return plugin.running; }

namespace {

void* oldImage = nullptr;  // the range of the plugin last unloaded

SIZE_T imageSize(HMODULE module) {
    auto base = reinterpret_cast<const BYTE*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->OptionalHeader.SizeOfImage;
}

}  // namespace

bool reloadPlugin() {
    endPlugin();
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(plugin.module, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        say("reload", "error: the plugin's path is unknown");
        fail(2);
        return false;
    }
    void* const base = plugin.module;
    const SIZE_T size = imageSize(plugin.module);
    FreeLibrary(plugin.module);
    plugin.module = nullptr;
    // Whatever still holds the module (a thread of the plugin's own) keeps
    // it mapped; Windows unloads it once that lets go.
    const bool unloaded = GetModuleHandleA(path) == nullptr;
    say("reload", unloaded ? "unloaded" : "still loaded");
    if (unloaded) {
        // The range it took stays reserved until the next reload, so the
        // new load lands elsewhere and a return into the old code fails,
        // as it would where something else had taken its place.
        if (oldImage != nullptr) {
            VirtualFree(oldImage, 0, MEM_RELEASE);
        }
        oldImage = VirtualAlloc(base, size, MEM_RESERVE, PAGE_NOACCESS);
    }
    if (!loadPlugin(path)) {
        fail(1);
        return false;
    }
    return startPlugin();
}

void endPlugin() {
    if (plugin.running) {
        plugin.running = false;
        plugin.end(plugin.module);
        say("end", "ok");
    }
}

}  // namespace shell

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    SetUnhandledExceptionFilter(reportCrash);
    std::string pluginPath;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
            pluginPath = argv[++i];
        } else if (std::strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
            scriptPath = argv[++i];
        } else if (std::strcmp(argv[i], "--slit") == 0) {
            plugin.inSlit = true;
        } else {
            return usage();
        }
    }
    if (pluginPath.empty()) {
        char self[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
        std::string exe(self, length < sizeof self ? length : 0);
        pluginPath = exe.substr(0, exe.find_last_of('\\') + 1) + "Telvane.dll";
    }

    std::deque<std::string> scriptLines;
    if (!scriptPath.empty()) {
        fromScript = true;
        std::ifstream script(scriptPath, std::ios::binary);
        if (!script) {
            shell::say("error", "cannot read " + scriptPath);
            return 2;
        }
        for (std::string line; std::getline(script, line);) {
            scriptLines.push_back(line);
        }
    } else {
        InitializeCriticalSection(&input.lock);
        input.ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        HANDLE reader = CreateThread(nullptr, 0, readInput, nullptr, 0, nullptr);
        if (!reader) {
            return 2;
        }
        CloseHandle(reader);
    }

    if (!shell::createWindows(GetModuleHandleA(nullptr))) {
        shell::say("error", "cannot create the shell's windows (error " +
                                std::to_string(GetLastError()) + ")");
        return 1;
    }
    shell::installDialogAnswerer();
    // A shell has the common controls and dialogs loaded for as long as it
    // runs. Wine's leave a handle (comdlg32) and memory (both, in 32-bit
    // wine) behind each time they are loaded anew, which the plugin's
    // unload cycles would otherwise count as the plugin's.
    LoadLibraryA("comctl32.dll");
    LoadLibraryA("comdlg32.dll");
    shell::saveProcessState();
    if (!loadPlugin(pluginPath)) {
        return 1;
    }
    if (shell::startPlugin()) {
        while (true) {
            shell::pumpPending();
            std::string line;
            if (fromScript) {
                if (scriptLines.empty()) {
                    break;
                }
                line = scriptLines.front();
                scriptLines.pop_front();
            } else if (!nextInputLine(line)) {
                break;
            }
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
                line.pop_back();
            }
            size_t first = line.find_first_not_of(" \t");
            if (first == std::string::npos || line[first] == '#') {
                continue;
            }
            if (!shell::runCommand(line.substr(first)) || shell::dialogEndedRun()) {
                break;
            }
        }
        shell::endPlugin();
    }
    shell::pumpPending();
    // Queries held by the script go on, so nothing waits for ever.
    shell::releaseQueries();
    if (plugin.module) {
        FreeLibrary(plugin.module);
    }
    shell::removeDialogAnswerer();
    shell::destroyWindows();
    std::fflush(stdout);
    return shell::exitStatus();
}
