// kvtfsys: the user's application-data folder and the rule that turns a file
// name announced by a remote station into one that is safe to store.
//
// Application-data folder: what the host set with fsSetAppDataPath, else
// $XDG_DATA_HOME (when absolute), else $HOME/.local/share. Paths are cp1251
// for callers; a folder that cannot be written in cp1251 is reported as none.
#define PAVO_HOSTLIBS_BUILD
#include <array>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include "base/CodePage.h"
#include "pavo/hostlibs.h"

namespace {

struct TAppData {
    std::mutex lock;
    std::string folder;  // cp1251; empty: the platform's own
};

TAppData& AppData() {
    static TAppData data;
    return data;
}

std::string PlatformDataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share";
    return {};
}

// ---- received file names ------------------------------------------------

// Longest name in bytes once written to the file system in UTF-8: below
// every file system's 255-byte limit, with room for a numbered copy.
constexpr std::size_t kMaxNameBytes = 200;
constexpr std::size_t kMaxExtensionBytes = 32;

std::size_t Utf8Bytes(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x80) return 1;
    if (u >= 0xC0) return 2;  // Cyrillic letters
    return 3;                 // signs of 0x80..0xBF: at most three bytes
}

std::size_t Utf8Bytes(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) n += Utf8Bytes(c);
    return n;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsRejected(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F || u == 0x98;  // 0x98 reads back as a C1 control
}

bool IsReplaced(char c) { return std::strchr("<>:\"|?*", c) != nullptr && c != '\0'; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows opens a device for these names whatever extension follows.
bool IsDeviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = AsciiUpper(c);
    static constexpr std::array<std::string_view, 6> kPlain{"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (auto d : kPlain)
        if (base == d) return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '0' &&
           base[3] <= '9';
}

void Trim(std::string& s) {
    auto junk = [](char c) { return c == ' ' || c == '.'; };
    std::size_t b = 0;
    while (b < s.size() && junk(s[b])) ++b;
    std::size_t e = s.size();
    while (e > b && junk(s[e - 1])) --e;
    s = s.substr(b, e - b);
}

std::string PlainFileName(std::string_view given) {
    const std::size_t slash = given.find_last_of("/\\");
    if (slash != std::string_view::npos) given.remove_prefix(slash + 1);
    std::string name;
    for (char c : given) {
        if (IsRejected(c)) continue;
        name += IsReplaced(c) ? '_' : c;
    }
    Trim(name);
    if (name.empty()) name = "file";
    if (IsDeviceName(name)) name.insert(0, "_");

    if (Utf8Bytes(name) > kMaxNameBytes) {
        std::string extension;
        const std::size_t dot = name.rfind('.');
        if (dot != std::string::npos && dot > 0 && Utf8Bytes(name.substr(dot)) <= kMaxExtensionBytes) {
            extension = name.substr(dot);
            name.resize(dot);
        }
        const std::size_t room = kMaxNameBytes - Utf8Bytes(extension);
        std::size_t used = 0, keep = 0;
        while (keep < name.size() && used + Utf8Bytes(name[keep]) <= room) used += Utf8Bytes(name[keep++]);
        name.resize(keep);
        Trim(name);
        if (name.empty()) name = "file";
        name += extension;
    }
    return name;
}

}  // namespace

extern "C" {

PAVO_HOSTLIB_API int16_t PAVO_CALL fsGetAppDataPath(PavoHandle /*appWindow*/, char* buffer) {
    if (buffer == nullptr) return 0;
    std::string folder;
    {
        TAppData& data = AppData();
        std::lock_guard guard(data.lock);
        folder = data.folder;
    }
    if (folder.empty()) {
        const std::string native = PlatformDataHome();
        folder = quorvel::Utf8ToCp1251(native);
        if (quorvel::Cp1251ToUtf8(folder) != native) folder.clear();
    }
    while (folder.size() > 1 && IsSeparator(folder.back())) folder.pop_back();
    if (folder.empty() || folder.size() >= PAVO_PATH_SIZE) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return 1;
}

PAVO_HOSTLIB_API void PAVO_CALL fsSetAppDataPath(const char* folder) {
    TAppData& data = AppData();
    std::lock_guard guard(data.lock);
    data.folder = folder != nullptr ? folder : "";
}

PAVO_HOSTLIB_API void PAVO_CALL fsUnsolvedFileName(char* buffer) {
    if (buffer == nullptr) return;
    // The buffer holds at most 260 characters; a missing terminator ends there.
    const std::string name = PlainFileName(std::string_view(buffer, strnlen(buffer, PAVO_PATH_SIZE - 1)));
    std::memcpy(buffer, name.c_str(), name.size() + 1);
}
}
