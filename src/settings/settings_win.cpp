#include "settings/settings_os.h"

void pluginModulePath(HINSTANCE instance, char* buffer, int size) {
    if (size <= 0) {
        return;
    }
    DWORD length = GetModuleFileNameA(instance, buffer, static_cast<DWORD>(size));
    // Older systems leave a truncated result unterminated.
    if (length == 0 || length >= static_cast<DWORD>(size)) {
        buffer[length == 0 ? 0 : size - 1] = '\0';
    }
}

void hostModulePath(char* buffer, int size) {
    if (size <= 0) {
        return;
    }
    DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    if (length == 0 || length >= static_cast<DWORD>(size)) {
        buffer[0] = '\0';
    }
}

VirtualScreenSize virtualScreenSize() {
    return {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool createSettingsFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}
