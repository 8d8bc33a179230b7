// Windows refuses to load a DLL that imports a name its exporter lacks;
// wine lets it load and ends the process at the first call. So the
// stand-in reads the plugin's import table itself and refuses such a
// plugin the way a real shell's loader would.
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include "shell.h"

namespace {

// A plugin file is read whole, but never an absurd one.
constexpr size_t kMaxPluginBytes = 64u << 20;

class Image {
public:
    explicit Image(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    bool read(size_t offset, void* out, size_t size) const {
        if (offset > bytes_.size() || size > bytes_.size() - offset) {
            return false;
        }
        std::memcpy(out, bytes_.data() + offset, size);
        return true;
    }

    // File offset of a relative virtual address, through the section table.
    bool offsetOf(DWORD rva, size_t* offset) const {
        for (const IMAGE_SECTION_HEADER& section : sections_) {
            DWORD size = section.Misc.VirtualSize ? section.Misc.VirtualSize : section.SizeOfRawData;
            if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size &&
                rva - section.VirtualAddress < section.SizeOfRawData) {
                *offset = section.PointerToRawData + (rva - section.VirtualAddress);
                return true;
            }
        }
        return false;
    }

    bool text(DWORD rva, std::string* out) const {
        size_t offset = 0;
        if (!offsetOf(rva, &offset)) {
            return false;
        }
        out->clear();
        for (; offset < bytes_.size() && bytes_[offset] != 0 && out->size() < 512; ++offset) {
            out->push_back(static_cast<char>(bytes_[offset]));
        }
        return offset < bytes_.size();
    }

    // Reads the headers; false for anything but a PE image of our bitness.
    bool parse(DWORD* importRva, std::string* error) {
        IMAGE_DOS_HEADER dos;
        DWORD signature = 0;
        IMAGE_FILE_HEADER file;
        if (!read(0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
            dos.e_lfanew < 0 || !read(dos.e_lfanew, &signature, sizeof signature) ||
            signature != IMAGE_NT_SIGNATURE || !read(dos.e_lfanew + 4, &file, sizeof file)) {
            *error = "not a Windows DLL";
            return false;
        }
        const size_t optional = dos.e_lfanew + 4 + sizeof file;
        IMAGE_OPTIONAL_HEADER header;
        if (file.SizeOfOptionalHeader < sizeof header || !read(optional, &header, sizeof header) ||
            header.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) {
            *error = sizeof(void*) == 4 ? "not a 32-bit DLL" : "not a 64-bit DLL";
            return false;
        }
        *importRva = header.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_IMPORT
                         ? header.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress
                         : 0;
        const size_t table = optional + file.SizeOfOptionalHeader;
        for (WORD i = 0; i < file.NumberOfSections; ++i) {
            IMAGE_SECTION_HEADER section;
            if (!read(table + i * sizeof section, &section, sizeof section)) {
                *error = "damaged section table";
                return false;
            }
            sections_.push_back(section);
        }
        return true;
    }

private:
    std::vector<unsigned char> bytes_;
    std::vector<IMAGE_SECTION_HEADER> sections_;
};

// Names this program exports, read from its own loaded image.
std::set<std::string> ownExports() {
    std::set<std::string> names;
    auto base = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.VirtualAddress == 0) {
        return names;
    }
    auto directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    auto nameRvas = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
    for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
        names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
    }
    return names;
}

}  // namespace

namespace shell {

bool checkShellImports(const std::string& path, std::string* problem) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes;
    if (in) {
        in.seekg(0, std::ios::end);
        std::streamoff size = in.tellg();
        in.seekg(0);
        if (size > 0 && static_cast<size_t>(size) <= kMaxPluginBytes) {
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    if (bytes.empty()) {
        *problem = "cannot read it";
        return false;
    }
    Image image(std::move(bytes));
    DWORD importRva = 0;
    if (!image.parse(&importRva, problem)) {
        return false;
    }
    const std::set<std::string> exported = ownExports();
    std::string missing;
    size_t descriptorAt = 0;
    if (importRva != 0 && !image.offsetOf(importRva, &descriptorAt)) {
        *problem = "damaged import table";
        return false;
    }
    for (size_t i = 0; importRva != 0; ++i) {
        IMAGE_IMPORT_DESCRIPTOR descriptor;
        if (!image.read(descriptorAt + i * sizeof descriptor, &descriptor, sizeof descriptor)) {
            *problem = "damaged import table";
            return false;
        }
        if (descriptor.Name == 0) {
            break;
        }
        std::string dll;
        if (!image.text(descriptor.Name, &dll)) {
            *problem = "damaged import table";
            return false;
        }
        if (_stricmp(dll.c_str(), "blackbox.exe") != 0) {
            continue;
        }
        DWORD thunks = descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk
                                                     : descriptor.FirstThunk;
        size_t thunkAt = 0;
        if (!image.offsetOf(thunks, &thunkAt)) {
            *problem = "damaged import table";
            return false;
        }
        for (size_t k = 0;; ++k) {
            IMAGE_THUNK_DATA thunk;
            if (!image.read(thunkAt + k * sizeof thunk, &thunk, sizeof thunk)) {
                *problem = "damaged import table";
                return false;
            }
            if (thunk.u1.AddressOfData == 0) {
                break;
            }
            std::string name;
            if (IMAGE_SNAP_BY_ORDINAL(thunk.u1.Ordinal)) {
                name = "#" + std::to_string(IMAGE_ORDINAL(thunk.u1.Ordinal));  // we export no ordinals
            } else if (!image.text(static_cast<DWORD>(thunk.u1.AddressOfData) + 2, &name)) {
                *problem = "damaged import table";
                return false;
            }
            if (exported.count(name) == 0) {
                missing += (missing.empty() ? "" : ", ") + name;
            }
        }
    }
    if (!missing.empty()) {
        *problem = "it imports " + missing + " from blackbox.exe, which this shell does not export";
        return false;
    }
    return true;
}

}  // namespace shell
