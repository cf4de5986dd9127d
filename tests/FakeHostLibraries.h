#pragma once
// The host's support libraries as registered symbols of the sim loader: each
// fake answers from a state the test sets and counts its calls.
#include <cstring>
#include <map>
#include <string>

#include "SimPlatform.h"
#include "pavo/copyout.h"
#include "pavo/hostlibs.h"

namespace quorvel::testing {

struct FakeHostLibrariesState {
    bool profileCurrent = false;
    std::string profileName, profilePath;
    int appDataResult = 1;
    std::string appData = "/home/op/.local/share";
    std::string unsolvedResult;  // empty: the name unchanged
    std::string helpId, helpFolder, helpPage, title;
    int helpCalls = 0, titleCalls = 0;
    int editorResult = 0, editorCalls = 0;
    PavoHandle editorParent = 0;
    std::string editorTitle, editorFile, editorHelp;
};

inline FakeHostLibrariesState& FakeLibs() {
    static FakeHostLibrariesState state;
    return state;
}

namespace fake {

inline void Copy(const std::string& s, char* out, std::size_t size) { PavoCopyOut(s, out, size); }

inline int32_t PAVO_CALL ReplaceChar(char c, char* out) {
    *out = c == '\xE0' ? 'a' : c;  // а -> a
    return 1;
}
inline int32_t PAVO_CALL ReplaceIntegerChar(char c, char* out) {
    *out = c >= '0' && c <= '9' ? c : '\0';
    return 1;
}
inline int16_t PAVO_CALL GetProfile(char* name, char* path) {
    if (!FakeLibs().profileCurrent) return 0;
    Copy(FakeLibs().profileName, name, PAVO_PROFILE_NAME_SIZE);
    Copy(FakeLibs().profilePath, path, PAVO_PATH_SIZE);
    return 1;
}
inline int16_t PAVO_CALL GetAppDataPath(PavoHandle, char* buffer) {
    Copy(FakeLibs().appData, buffer, PAVO_PATH_SIZE);
    return static_cast<int16_t>(FakeLibs().appDataResult);
}
inline void PAVO_CALL UnsolvedFileName(char* buffer) {
    if (!FakeLibs().unsolvedResult.empty()) Copy(FakeLibs().unsolvedResult, buffer, PAVO_PATH_SIZE);
}
inline int32_t PAVO_CALL ShowHelp(const char* id, const char* folder, const char* page) {
    auto& s = FakeLibs();
    ++s.helpCalls;
    s.helpId = id;
    s.helpFolder = folder;
    s.helpPage = page;
    return 1;
}
inline void PAVO_CALL SetTitle(const char* title) {
    ++FakeLibs().titleCalls;
    FakeLibs().title = title;
}
inline int16_t PAVO_CALL MacrosesEditor(PavoHandle parent, const char* title, const char* file, const char* help,
                                        int32_t, int32_t) {
    auto& s = FakeLibs();
    ++s.editorCalls;
    s.editorParent = parent;
    s.editorTitle = title;
    s.editorFile = file;
    s.editorHelp = help;
    return static_cast<int16_t>(s.editorResult);
}
inline const uint8_t* PAVO_CALL FindResource(int32_t type, const char* name, uint32_t* size) {
    static const uint8_t bitmap[] = {'B', 'M', 1, 2};
    if (type != PAVO_RES_BITMAP || std::string(name) != "#102") return nullptr;
    *size = sizeof bitmap;
    return bitmap;
}

template <class F>
void* Symbol(F f) {
    return reinterpret_cast<void*>(f);
}

}  // namespace fake

// The two libraries the plug-in is linked with.
inline void RegisterLinkedLibraries(sim::TSimLibraryLoader& loader) {
    loader.Register("kvtlibb.dll", {{"lbReplaceChar", fake::Symbol(&fake::ReplaceChar)},
                                    {"lbReplaceIntegerChar", fake::Symbol(&fake::ReplaceIntegerChar)}});
    loader.Register("sharepm.dll", {{"smGetProfile", fake::Symbol(&fake::GetProfile)}});
}

// All six, every function present; state reset.
inline void RegisterHostLibraries(sim::TSimLibraryLoader& loader) {
    FakeLibs() = FakeHostLibrariesState{};
    RegisterLinkedLibraries(loader);
    loader.Register("kvtfsys.dll", {{"fsGetAppDataPath", fake::Symbol(&fake::GetAppDataPath)},
                                    {"fsUnsolvedFileName", fake::Symbol(&fake::UnsolvedFileName)}});
    loader.Register("kvthelpsys.dll",
                    {{"hsShowHelp", fake::Symbol(&fake::ShowHelp)}, {"hsSetTitle", fake::Symbol(&fake::SetTitle)}});
    loader.Register("editors.dll", {{"esShowMacrosesEditor", fake::Symbol(&fake::MacrosesEditor)}});
    loader.Register("res.dll", {{"resFindResource", fake::Symbol(&fake::FindResource)}});
}

}  // namespace quorvel::testing
