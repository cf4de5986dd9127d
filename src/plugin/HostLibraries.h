#pragma once
// The host's support libraries as the plug-in calls them (declared for host
// writers in pavo/hostlibs.h).
//
//   kvtlibb, sharepm   linked with the plug-in: loaded once with it
//                      (THostLinkedLibraries); without them it cannot run.
//   kvtfsys, kvthelpsys, editors
//                      loaded by name for one call, freed on every path.
//   res                loaded once with the plug-in, freed at unload.
//
// Failures of kvtfsys and kvthelpsys raise EkvtAPI, left to the caller: in a
// window event it ends in the standard error box.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "pavo/hostlibs.h"
#include "ports/Libraries.h"
#include "ports/WindowSystem.h"

namespace quorvel {

class TApplication;

// A failure of a host library; the message is cp1251.
class EkvtAPI : public std::runtime_error {
public:
    explicit EkvtAPI(const std::string& message) : std::runtime_error(message) {}
};

// A file that could not be opened or read; the message is cp1251.
class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(const std::string& message) : std::runtime_error(message) {}
};

// The host's library file names, as the host names them on every platform.
inline constexpr char kKvtLibB[] = "kvtlibb.dll";
inline constexpr char kSharePm[] = "sharepm.dll";
inline constexpr char kKvtFSys[] = "kvtfsys.dll";
inline constexpr char kKvtHelpSys[] = "kvthelpsys.dll";
inline constexpr char kEditors[] = "editors.dll";
inline constexpr char kRes[] = "res.dll";

// "Не удалось загрузить библиотеку %s" and the old-version text, formatted.
std::string LibraryLoadErrorText(std::string_view fileName);
std::string LibraryVersionErrorText(std::string_view fileName);

// A host library loaded for the lifetime of this object. Loading and looking
// up functions raise EkvtAPI with the texts above.
class TKvtLibrary {
public:
    TKvtLibrary(ILibraryLoader* loader, std::string fileName);
    template <class Fn>
    Fn Function(const char* name) const {
        void* address = library_->Symbol(name);
        if (address == nullptr) throw EkvtAPI(LibraryVersionErrorText(fileName_));
        return reinterpret_cast<Fn>(address);
    }
    template <class Fn>
    Fn OptionalFunction(const char* name) const {
        return reinterpret_cast<Fn>(library_->Symbol(name));
    }

private:
    std::string fileName_;
    std::unique_ptr<ILibrary> library_;
};

// kvtlibb and sharepm, loaded when the plug-in is. Loaded() is false when
// either library or any of its three functions is missing: the plug-in then
// refuses the host, as a library whose imports cannot be resolved does.
class THostLinkedLibraries {
public:
    explicit THostLinkedLibraries(ILibraryLoader* loader);
    bool Loaded() const { return replaceChar_ && replaceIntegerChar_ && getProfile_; }

    // The replacement of a key typed into the callsign field (and, on request,
    // into the text to send); the key itself when kvtlibb is missing.
    char lbReplaceChar(char c) const;
    // The replacement of a key typed into a report field; 0 drops the key.
    char lbReplaceIntegerChar(char c) const;

    struct TProfile {
        std::string Name;
        std::string Path;  // appended directly to the host data folder
    };
    // The host's current profile; none when the host reports none.
    std::optional<TProfile> smGetProfile() const;

private:
    std::unique_ptr<ILibrary> kvtlibb_, sharepm_;
    lbReplaceCharFn replaceChar_ = nullptr;
    lbReplaceIntegerCharFn replaceIntegerChar_ = nullptr;
    smGetProfileFn getProfile_ = nullptr;
};

// The user's application-data folder; empty when the library reports none.
std::string fsGetAppDataPath(ILibraryLoader* loader, THandle appWindow);

// The name under which a received file is stored. Only the last 260
// characters of a longer name are passed on (the folder parts go first, the
// extension stays), and the result is always a plain name: separators and
// control characters that a library let through become '_'.
std::string fsUnsolvedFileName(ILibraryLoader* loader, std::string_view name);

// The help page of the module named moduleName (".kpl" added): nothing when
// that module is not loaded; EkvtAPI when the host's help folder is missing
// or kvthelpsys fails; EInOutError when the help folder has no "Id.dat".
void ShowHelp(TApplication& app, std::string_view moduleName);

// Runs the host's macro editor on the plug-in's macro file over parent.
// Failures are shown as warnings and give false. When the editor reports a
// change, macrosChanged runs (reload the macros, rebuild their toolbars) and
// the result is true.
bool ShowMacrosesEditor(TApplication& app, THandle parent, std::string_view pluginsDataFolder,
                        const std::function<void()>& macrosChanged);

// res, loaded when the plug-in is and freed when it unloads. Pictures come
// back empty when it did not load.
class THostResources {
public:
    explicit THostResources(ILibraryLoader* loader);
    bool Loaded() const { return library_ != nullptr; }
    // A BMP file.
    std::vector<std::uint8_t> Bitmap(const char* name) const;
    // An ICO file (the 48 x 48 icon among its pictures).
    std::vector<std::uint8_t> Icon(const char* name) const;

private:
    std::vector<std::uint8_t> Find(std::int32_t type, const char* name) const;
    std::unique_ptr<ILibrary> library_;
};

}  // namespace quorvel
