#pragma once
// Finds a modem engine the way a COM class is found by its class id: a
// registration file beside the plug-in maps class ids to engine modules. The
// file's format and the module's entry points are in pavo/modem-engine.h; a
// module of another version is refused (Refusal() says why).
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modem/ModemEngine.h"
#include "pavo/modem-engine.h"
#include "ports/Libraries.h"

namespace quorvel::linux_platform {

constexpr const char* kEngineRegistrationFile = QUORVEL_MODEM_ENGINE_REGISTRATION_FILE;

// The operator's message (cp1251) for a module of another version; found is
// 0 for a module without the version export.
std::string EngineVersionRefusal(const std::string& module, std::int32_t found);

// class id -> module path, from the registration file's text.
std::map<std::string, std::string> ParseEngineRegistration(const std::string& text);

// The registration file in folder, or nothing when it cannot be read.
std::optional<std::string> ReadEngineRegistration(const std::string& folder);

class TRegisteredEngines final : public IModemEngineFactory {
public:
    // folder: where the registration file lives (the plug-in's folder).
    explicit TRegisteredEngines(std::string folder) : folder_(std::move(folder)) {}
    ~TRegisteredEngines() override;
    std::unique_ptr<TModemEngine> CreateEngine(const char* classId, IDispatcher& dispatcher) override;
    std::string Refusal() const override { return refusal_; }
    const QuorvelModemDisplay* Display(const char* classId) override;

private:
    // The registered module's path, or empty.
    std::string ModulePath(const char* classId) const;

    std::string folder_;
    std::string refusal_;
    // Modules stay loaded until the factory goes: engines they made may live that long.
    std::vector<std::unique_ptr<ILibrary>> modules_;
};

}  // namespace quorvel::linux_platform
