#include "plugin/HostLibraries.h"

#include <algorithm>
#include <filesystem>

#include "base/CodePage.h"
#include "base/Files.h"
#include "ports/Dialogs.h"
#include "ports/FileSystem.h"
#include "ui/Application.h"
#include "ui/MessageBoxes.h"

namespace quorvel {
namespace {

std::string Format(std::string_view pattern, std::string_view argument) {
    const std::size_t at = pattern.find("%s");
    if (at == std::string_view::npos) return std::string(pattern);
    return std::string(pattern.substr(0, at)) + std::string(argument) + std::string(pattern.substr(at + 2));
}

// The longest line of "Id.dat" read; the index is one short token.
constexpr std::size_t kMaxIdLength = 4096;

std::string FirstLine(const std::string& path) {
    IFileSystem& files = FileSystem();
    const std::filesystem::path file = NativePath(path);
    if (files.Status(file).Kind != TFileKind::File) throw EInOutError(Format(Ru("Не удалось открыть файл \"%s\"."), path));
    // Only the first line counts; a file far larger than one is not an index file.
    std::string text;
    if (files.Read(file, 64 * kMaxIdLength, text))
        throw EInOutError(Format(Ru("Не удалось прочитать файл \"%s\"."), path));
    const std::size_t end = std::min(text.find_first_of("\r\n"), kMaxIdLength);
    text.resize(std::min(end, text.size()));
    return text;
}

// What a host library wrote into a buffer of the given size, up to its
// terminator (or the buffer's end, should it have written none).
std::string BufferText(const std::vector<char>& buffer) {
    std::size_t n = 0;
    while (n < buffer.size() && buffer[n] != '\0') ++n;
    return std::string(buffer.data(), n);
}

}  // namespace

std::string LibraryLoadErrorText(std::string_view fileName) {
    return Format(Ru("Не удалось загрузить библиотеку %s"), fileName);
}

std::string LibraryVersionErrorText(std::string_view fileName) {
    return Format(Ru("Неверная версия библиотеки \"Zentavo API\" (DLL: %s)\r\n"
                     "Возможно на вашем компьютере установлена старая версия\r\n"
                     "библиотеки \"Zentavo API\". Обновите её."),
                  fileName);
}

TKvtLibrary::TKvtLibrary(ILibraryLoader* loader, std::string fileName) : fileName_(std::move(fileName)) {
    if (loader != nullptr) library_ = loader->Load(fileName_);
    if (!library_) throw EkvtAPI(LibraryLoadErrorText(fileName_));
}

// ---- kvtlibb, sharepm -----------------------------------------------------

THostLinkedLibraries::THostLinkedLibraries(ILibraryLoader* loader) {
    if (loader == nullptr) return;
    kvtlibb_ = loader->Load(kKvtLibB);
    sharepm_ = loader->Load(kSharePm);
    if (kvtlibb_) {
        replaceChar_ = reinterpret_cast<lbReplaceCharFn>(kvtlibb_->Symbol("lbReplaceChar"));
        replaceIntegerChar_ = reinterpret_cast<lbReplaceIntegerCharFn>(kvtlibb_->Symbol("lbReplaceIntegerChar"));
    }
    if (sharepm_) getProfile_ = reinterpret_cast<smGetProfileFn>(sharepm_->Symbol("smGetProfile"));
}

char THostLinkedLibraries::lbReplaceChar(char c) const {
    char out = c;
    if (replaceChar_ != nullptr) replaceChar_(c, &out);
    return out;
}

char THostLinkedLibraries::lbReplaceIntegerChar(char c) const {
    char out = c;
    if (replaceIntegerChar_ != nullptr) replaceIntegerChar_(c, &out);
    return out;
}

std::optional<THostLinkedLibraries::TProfile> THostLinkedLibraries::smGetProfile() const {
    if (getProfile_ == nullptr) return std::nullopt;
    std::vector<char> name(PAVO_PROFILE_NAME_SIZE, '\0'), path(PAVO_PATH_SIZE, '\0');
    if (getProfile_(name.data(), path.data()) == 0) return std::nullopt;
    return TProfile{BufferText(name), BufferText(path)};
}

// ---- kvtfsys --------------------------------------------------------------

std::string fsGetAppDataPath(ILibraryLoader* loader, THandle appWindow) {
    TKvtLibrary library(loader, kKvtFSys);
    auto get = library.Function<fsGetAppDataPathFn>("fsGetAppDataPath");
    std::vector<char> buffer(PAVO_PATH_SIZE, '\0');
    if (get(appWindow, buffer.data()) == 0) return {};
    return BufferText(buffer);
}

std::string fsUnsolvedFileName(ILibraryLoader* loader, std::string_view name) {
    name = name.substr(0, name.find('\0'));
    if (name.size() > PAVO_PATH_SIZE - 1) name = name.substr(name.size() - (PAVO_PATH_SIZE - 1));
    TKvtLibrary library(loader, kKvtFSys);
    auto unsolve = library.Function<fsUnsolvedFileNameFn>("fsUnsolvedFileName");
    std::vector<char> buffer(PAVO_PATH_SIZE, '\0');
    std::copy(name.begin(), name.end(), buffer.begin());
    unsolve(buffer.data());
    std::string result = BufferText(buffer);
    // The received file must land in its folder whatever the library did.
    for (char& c : result)
        if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) c = '_';
    if (result.empty() || result == "." || result == "..") result = std::string(1, '_');
    return result;
}

// ---- kvthelpsys -----------------------------------------------------------

void ShowHelp(TApplication& app, std::string_view moduleName) {
    const TPlatform& platform = app.Platform();
    if (platform.Process == nullptr) return;
    const std::string module = platform.Process->ModulePath(std::string(moduleName) + ".kpl");
    if (module.empty()) return;
    const std::string page = JoinPath(ExtractFileDir(module), std::string(moduleName) + ".htm");
    const std::string helpFolder = JoinPath(ExtractFileDir(platform.Process->ExecutablePath()), "Help");
    if (!DirectoryExists(helpFolder)) throw EkvtAPI(Ru("Справочная система не установлена."));

    TKvtLibrary library(platform.Libraries, kKvtHelpSys);
    auto showHelp = library.Function<hsShowHelpFn>("hsShowHelp");
    const std::string id = FirstLine(JoinPath(helpFolder, "Id.dat"));
    showHelp(id.c_str(), helpFolder.c_str(), page.c_str());
    if (auto setTitle = library.OptionalFunction<hsSetTitleFn>("hsSetTitle")) setTitle(app.Title.c_str());
}

// ---- editors --------------------------------------------------------------

bool ShowMacrosesEditor(TApplication& app, THandle parent, std::string_view pluginsDataFolder,
                        const std::function<void()>& macrosChanged) {
    const TPlatform& platform = app.Platform();
    const std::string macroFile = JoinPath(pluginsDataFolder, "\\Quorvel\\macroses.config.xml");
    const std::string exe = platform.Process != nullptr ? platform.Process->ExecutablePath() : std::string();
    const std::string helpPage = JoinPath(ExtractFileDir(exe), "Plugins\\Quorvel\\macros.htm");

    std::unique_ptr<ILibrary> library;
    if (platform.Libraries != nullptr) library = platform.Libraries->Load(kEditors);
    if (!library) {
        AppMessageBox(app, Format(Ru("Не удалось загрузить библиотеку %s."), kEditors), MB_ICONWARNING);
        return false;
    }
    bool changed = false;
    {
        TModalScope modal(app);
        auto edit = reinterpret_cast<esShowMacrosesEditorFn>(library->Symbol("esShowMacrosesEditor"));
        if (edit == nullptr)
            AppMessageBox(app, Format(Ru("Неверная версия библиотеки %s."), kEditors), MB_ICONWARNING);
        else
            changed = edit(parent, app.Title.c_str(), macroFile.c_str(), helpPage.c_str(), 0, 0) != 0;
    }
    library.reset();
    if (changed && macrosChanged) macrosChanged();
    return changed;
}

// ---- res ------------------------------------------------------------------

THostResources::THostResources(ILibraryLoader* loader) {
    if (loader != nullptr) library_ = loader->Load(kRes);
}

std::vector<std::uint8_t> THostResources::Find(std::int32_t type, const char* name) const {
    if (!library_) return {};
    auto find = reinterpret_cast<resFindResourceFn>(library_->Symbol("resFindResource"));
    if (find == nullptr) return {};
    std::uint32_t size = 0;
    const std::uint8_t* data = find(type, name, &size);
    if (data == nullptr) return {};
    return std::vector<std::uint8_t>(data, data + size);
}

std::vector<std::uint8_t> THostResources::Bitmap(const char* name) const { return Find(PAVO_RES_BITMAP, name); }

std::vector<std::uint8_t> THostResources::Icon(const char* name) const { return Find(PAVO_RES_GROUP_ICON, name); }

}  // namespace quorvel
