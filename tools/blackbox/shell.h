// Internals shared by the stand-in shell's modules. Everything runs on
// the one GUI thread, like the real shell, so the state is plain globals.
#pragma once

#include <string>
#include <vector>

#include "host/bbapi.h"

namespace shell {

// ---- output ----

// Prints "word: text" as one line and flushes, so a reader of the pipe
// sees it at once.
void say(const char* word, const std::string& text);
// CR, LF, TAB and backslash as \r \n \t \\, other control bytes as \xHH:
// whatever the plugin hands us stays on one output line.
std::string escape(const std::string& text);

// ---- host window, registrations, slit (host.cpp) ----

struct Registration {
    HWND window;
    std::vector<unsigned> messages;
};

HWND hostWindow();
HWND slitWindow();
bool createWindows(HINSTANCE instance);
void destroyWindows();

const std::vector<Registration>& registrations();
// Windows registered for `message`, in registration order.
std::vector<HWND> windowsFor(unsigned message);
// Sends `message` to every window registered for it; returns how many.
int sendToRegistered(unsigned message, WPARAM wParam, LPARAM lParam);
// A broadcast command reaches every window registered for MSG_BROADCAST.
int broadcast(const std::string& command);

bool isDocked(HWND window);
std::vector<HWND>& stickyWindows();

// The window the script talks to: the first registered one that still
// exists, else the first sticky one.
HWND pluginWindow();

// Runs the message loop until no message is waiting.
void pumpPending();
// Runs the message loop for `milliseconds`.
void pumpFor(unsigned milliseconds);

// Dialogs of this thread are answered with OK and printed.
void installDialogAnswerer();
void removeDialogAnswerer();
// How many dialogs have been answered since the run began.
int answeredDialogCount();
// Runs the script line `command` inside the next dialog's message loop,
// once it shows and before it is answered.
void runOnNextDialog(const std::string& command);
// Whether a line run inside a dialog ended the run (a start that failed).
bool dialogEndedRun();

// ---- settings files (rcfile.cpp) ----

// The path last given to a Read*/Write* function, empty before any.
const std::string& lastSettingsPath();
// Lines of a settings file (no line ends); false when it cannot be read.
bool readLines(const std::string& path, std::vector<std::string>& lines);

// ---- menus (menus.cpp) ----

// The menu last passed to ShowMenu, or null once it is freed.
Menu* shownMenu();
void forgetShownMenu();
int liveMenuCount();
void printMenu(const Menu* menu);
// Finds the item at `path` ("Sub/Item") and builds the broadcast text a
// user's choice would send; on failure `command` holds the reason.
bool menuChoice(const Menu* root, const std::string& path, bool hasValue, const std::string& value,
                std::string& command);

// ---- the plugin's imports (imports.cpp, hooks.cpp) ----

// Whether every import of the plugin file at `path` from blackbox.exe is a
// name this program exports, as Windows' loader insists; otherwise
// `problem` says why not.
bool checkShellImports(const std::string& path, std::string* problem);

// Redirects the plugin's DrawTextA, FrameRect, PolyPolyline, BeginPaint,
// EndPaint, GetSystemMetrics, DefWindowProcA, CreateWindowExA and
// GetProcAddress imports to ours, which pass the calls on; returns how
// many were patched.
int hookPluginImports(HMODULE plugin);
// Points those imports back at user32 (a benchmark measures the plugin
// alone); hookPluginImports sets them again.
void unhookPluginImports(HMODULE plugin);
// The plugin's first DrawTextA inside a paint, as recorded while
// recordPaints(true), with the text of all that paint's DrawTextA calls:
// enough to draw the same text in a bare paint.
struct PaintRecord {
    bool valid = false;
    LOGFONTA font{};
    COLORREF color = 0;
    int backgroundMode = 0;
    RECT rect{};
    UINT format = 0;
    std::string text;
};
void recordPaints(bool on);
const PaintRecord& recordedPaint();
// The texts of the plugin's DrawTextA calls in its last paint that drew
// anything, joined in order.
const std::string& lastDrawnText();
// What that paint drew, in order: each DrawTextA a text in its colour, each
// FrameRect a meter (its box and brush colour), each PolyPolyline a graph
// (the box of its first line, its outline, and the pen's colour).
struct DrawnRun {
    enum Kind { Text, Graph, Meter } kind;
    std::string text;
    int width;
    int height;
    COLORREF colour;
};
const std::vector<DrawnRun>& lastDrawnRuns();
// Paints the plugin finished (EndPaint) since the previous call.
int takePaintCount();
// Makes the plugin's next CreateWindowExA fail, as a system out of
// window resources would.
void failNextWindow();
// Whether that failure happened since the last call (and forgets it).
bool takeProvokedFailure();
// The plugin's slow system queries: its disk-space, device-control and
// host-name calls are counted, with those made on the shell's own thread
// (which must stay free of them); holdDiskQueries makes every later
// disk-space call wait until releaseQueries.
void holdDiskQueries();
void releaseQueries();
void printQueries();
// Windows XP SP3 as the plugin sees it: from the next start (applyXpMode,
// at every start) each of its run-time lookups of a function that
// src/host/xp-functions.txt does not list fails; refusedXpLookups names
// them, sorted.
void setXpMode(bool on);
void applyXpMode();
std::string refusedXpLookups();
// Makes the plugin's LoadLibraryA of the DLL `name` (any folder, any case)
// fail as for a DLL that cannot be loaded; an empty name lets every load
// go on.
void failLibrary(const std::string& name);
// Points the plugin's import of dll!name at `replacement`, keeping in
// `original` what it held unless that was `replacement` already.
bool patchPluginImport(HMODULE plugin, const char* dll, const char* name, void* replacement,
                       void** original);

// ---- the plugin's interfaces and their change notifications (network.cpp) ----

// Points the plugin's imports of the interface functions at ours, which
// pass every call on and count it; unhookNetworkImports points the reads
// back (a benchmark measures the plugin alone).
int hookNetworkImports(HMODULE plugin);
void unhookNetworkImports(HMODULE plugin);
// Ours for the functions of iphlpapi the plugin looks up at run time
// (GetIfEntry2, NotifyIpInterfaceChange, NotifyRouteChange2,
// CancelMibChangeNotify2); null for any other.
FARPROC networkFunction(HMODULE module, const char* name);
// From now on every interface read answers these octet counts (the
// 32-bit rows their low 32 bits), also for an index the system does not
// have; `on` false gives the system's own counts back.
void setNetworkCounts(bool on, unsigned long long in, unsigned long long out);
// GetBestInterface answers `index` (`set` false: the system's answer),
// and every change notification registered or waiting is sent; returns
// how many.
int changeRoute(bool set, unsigned long index);
// "net: interface N reads N table N count N route N watching N".
void printNetwork();

// While on, the plugin's opening of \\.\PhysicalDrive0 gives a drive that
// answers the S.M.A.R.T. requests from a recorded attribute table (the
// temperature, attribute 194, is 38); handles opened before keep what
// they were.
void useStandInDrive(bool on);
// Makes the plugin's fopen of the file at `path` (any case) fail as for a
// file it may not write; an empty path lets every open go on again.
void denyFile(const std::string& path);
// Screen, virtual-screen and monitor size as the plugin sees them after
// `display`.
void overrideScreenSize(int width, int height);
// Sends the window a caption button-down; true when the plugin passes it
// on to the default procedure, where a real drag would begin.
bool dragWouldStart(HWND window, WPARAM hitTest, LPARAM point);

// ---- exports.cpp ----

// The last MakeStyleGradient call's style block and border flag.
struct GradientRecord {
    bool valid = false;
    StyleItem style{};
    bool withBorder = false;
};
const GradientRecord& recordedGradient();

// ---- the plugin and the run (main.cpp) ----

HMODULE pluginModule();

// True when commands come from a script or a pipe: BBExecute then only
// reports what it would open.
bool scripted();
// The plugin's folder with a trailing backslash.
const std::string& pluginFolder();
// Starts the plugin the way the command line (or the last setStartWay)
// asked and prints "start: N"; false when the start failed and the run
// must end (a failure provoked by failNextWindow does not end it).
bool startPlugin();
// From now on start through beginSlitPlugin (true) or beginPlugin; false
// when the plugin lacks that entry point.
bool setStartWay(bool inSlit);
void endPlugin();
bool pluginRunning();
// endPlugin, FreeLibrary, then loads and starts the plugin again from the
// same file; prints "reload: unloaded" (or "still loaded" while something
// holds the module). False as startPlugin, or when it cannot be loaded.
bool reloadPlugin();

// ---- benchmark (bench.cpp) ----

// Times the plugin's main tick, one paint and a format change against
// the bare system calls they cannot avoid; prints "bench:" lines.
void runBenchmark(const std::string& arguments);

// ---- stress (stress.cpp) ----

// Broadcasts `count` random and malformed commands made from `seed`
// (each printed first when `show`), handling the messages they cause.
void fuzzBroadcasts(long count, unsigned long long seed, bool show);
// Prints the process's GDI and USER objects, handles, private bytes and
// threads.
void printResources();
// Records the process-wide state a plugin could change by mistake (the C
// library's time locale, the error mode, the current folder, Winsock, the
// floating-point control words) before the plugin is loaded;
// printProcessState compares with it.
void saveProcessState();
void printProcessState();

// ---- script commands (script.cpp) ----

// Runs one script line; false when the run must stop.
bool runCommand(const std::string& line);
// The run's exit status: the first failure's (1 a failed start, 2 a
// failed command) or 0.
void fail(int status);
int exitStatus();

}  // namespace shell
