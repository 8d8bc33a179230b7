// The settings file. Input: a Telvane.rc as the shell reads it, one
// "key: value" a line, of any length and content. Load it, use it, save
// it: the saved file must load back to the same record.
#include "fake_shell.h"
#include "fuzz.h"

namespace {

const std::string kFile = "C:\\Blackbox\\plugins\\Telvane\\Telvane.rc";

void storeLines(const std::string& input) {
    size_t start = 0;
    while (start < input.size()) {
        size_t end = input.find('\n', start);
        end = end == std::string::npos ? input.size() : end;
        const std::string line = input.substr(start, end - start);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            const size_t value = line.find_first_not_of(" \t", colon + 1);
            fakeshell::setValue(kFile, line.substr(0, colon + 1),
                                value == std::string::npos ? "" : line.substr(value));
        }
        start = end + 1;
    }
}

void loadFresh() {
    std::memset(&settings, 0, sizeof settings);
    settingsPath[0] = '\0';
    loadSettings();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fakeshell::reset();
    fakeshell::addFile(kFile);
    storeLines(std::string(reinterpret_cast<const char*>(data), size));

    loadFresh();
    FUZZ_CHECK(kFile == settingsPath);
    checkTextSettings();
    refreshStyle();
    fullRefresh();
    paintNatively();
    buildMenu(false);
    deleteMenu();
    freeSegments();
    freeGraphHistories();
    setWarningRules("");

    Settings loaded;
    std::memcpy(&loaded, &settings, sizeof loaded);
    saveSettings();
    loadFresh();
    FUZZ_CHECK(std::memcmp(&loaded, &settings, sizeof loaded) == 0);
    setWarningRules("");
    return 0;
}
