#pragma once
// Finds a modem engine the way a COM class is found by its class id: a
// registration file beside the plug-in maps class ids to engine modules.
//
//   modem-engines.reg:   {9C0D49DD-5C05-456D-916B-98C4CF63172F}=libquorvel-loopback.so
//
// Module paths are relative to the registration file's folder. A module
// exports QuorvelCreateModemEngine(IDispatcher*) returning a new engine.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "modem/ModemEngine.h"
#include "ports/Libraries.h"

namespace quorvel::linux_platform {

constexpr const char* kEngineRegistrationFile = "modem-engines.reg";

// class id -> module path, from the registration file's text.
std::map<std::string, std::string> ParseEngineRegistration(const std::string& text);

class TRegisteredEngines final : public IModemEngineFactory {
public:
    // folder: where the registration file lives (the plug-in's folder).
    explicit TRegisteredEngines(std::string folder) : folder_(std::move(folder)) {}
    ~TRegisteredEngines() override;
    std::unique_ptr<TModemEngine> CreateEngine(const char* classId, IDispatcher& dispatcher) override;

private:
    std::string folder_;
    // Modules stay loaded until the factory goes: engines they made may live that long.
    std::vector<std::unique_ptr<ILibrary>> modules_;
};

}  // namespace quorvel::linux_platform
