#include "RegisteredEngines.h"

#include <filesystem>
#include <sstream>

#include "LinuxLibraries.h"
#include "base/CodePage.h"
#include "base/Text.h"
#include "ports/FileSystem.h"

namespace quorvel::linux_platform {

std::map<std::string, std::string> ParseEngineRegistration(const std::string& text) {
    std::map<std::string, std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string id = UpperAscii(Trim(line.substr(0, eq)));
        const std::string module = Trim(line.substr(eq + 1));
        if (!id.empty() && !module.empty()) out[id] = module;
    }
    return out;
}

std::optional<std::string> ReadEngineRegistration(const std::string& folder) {
    // A registration names a handful of modules; a larger file is not one.
    constexpr std::uintmax_t kMaxBytes = 1u << 20;
    std::string text;
    if (FileSystem().Read(std::filesystem::path(folder) / kEngineRegistrationFile, kMaxBytes, text)) return std::nullopt;
    return text;
}

TRegisteredEngines::~TRegisteredEngines() = default;

std::string EngineVersionRefusal(const std::string& module, std::int32_t found) {
    const std::string needed = std::to_string(QUORVEL_MODEM_ENGINE_VERSION);
    const std::string what = found == 0 ? Ru("не сообщает версию интерфейса")
                                        : Ru("имеет версию интерфейса ") + std::to_string(found);
    return Ru("Модуль модема ") + Ru(module) + " " + what + Ru(", а плагину нужна версия ") + needed +
           Ru(". Модуль не загружен, плагин работает без модема.");
}

std::string TRegisteredEngines::ModulePath(const char* classId) const {
    if (classId == nullptr) return {};
    const std::filesystem::path folder(folder_);
    const std::optional<std::string> text = ReadEngineRegistration(folder_);
    if (!text) return {};
    const auto registry = ParseEngineRegistration(*text);
    const auto it = registry.find(UpperAscii(classId));
    if (it == registry.end()) return {};
    std::filesystem::path module(it->second);
    if (module.is_relative()) module = folder / module;
    return module.string();
}

std::unique_ptr<TModemEngine> TRegisteredEngines::CreateEngine(const char* classId, IDispatcher& dispatcher) {
    refusal_.clear();
    const std::string module = ModulePath(classId);
    if (module.empty()) return nullptr;
    auto library = TLinuxLibraryLoader::LoadPath(module);
    if (!library) return nullptr;
    auto version = reinterpret_cast<QuorvelModemEngineVersionFn>(library->Symbol(QUORVEL_MODEM_ENGINE_VERSION_SYMBOL));
    const std::int32_t found = version != nullptr ? version() : 0;
    if (found != QUORVEL_MODEM_ENGINE_VERSION) {
        refusal_ = EngineVersionRefusal(module, found);
        return nullptr;
    }
    auto create = reinterpret_cast<QuorvelCreateModemEngineFn>(library->Symbol(QUORVEL_MODEM_ENGINE_CREATE_SYMBOL));
    if (create == nullptr) return nullptr;
    std::unique_ptr<TModemEngine> engine(create(&dispatcher));
    if (engine) modules_.push_back(std::move(library));
    return engine;
}

const QuorvelModemDisplay* TRegisteredEngines::Display(const char* classId) {
    const std::string module = ModulePath(classId);
    if (module.empty()) return nullptr;
    auto library = TLinuxLibraryLoader::LoadPath(module);
    if (!library) return nullptr;
    auto get = reinterpret_cast<QuorvelGetModemDisplayFn>(library->Symbol(QUORVEL_MODEM_DISPLAY_SYMBOL));
    const QuorvelModemDisplay* display = get != nullptr ? get() : nullptr;
    // A module without display data, or with a table too old to hold what the views call.
    if (display == nullptr || display->Version < 1 || display->Frame == nullptr || display->Tune == nullptr) return nullptr;
    modules_.push_back(std::move(library));
    return display;
}

}  // namespace quorvel::linux_platform
