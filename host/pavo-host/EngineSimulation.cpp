#include "EngineSimulation.h"

#include <dlfcn.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "RegisteredEngines.h"
#include "modem/ModemEngine.h"

namespace pavohost {
namespace fs = std::filesystem;

TEngineSimulation::TEngineSimulation(const std::string& pluginFolder) {
    const fs::path registration = fs::path(pluginFolder) / quorvel::linux_platform::kEngineRegistrationFile;
    const auto text = quorvel::linux_platform::ReadEngineRegistration(pluginFolder);
    if (!text) {
        reason_ = "no engine registration at " + registration.string();
        return;
    }
    const auto engines = quorvel::linux_platform::ParseEngineRegistration(*text);
    std::string id = quorvel::kModemEngineClassId;
    for (char& c : id) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    const auto it = engines.find(id);
    if (it == engines.end()) {
        reason_ = "no modem engine registered in " + registration.string();
        return;
    }
    fs::path module(it->second);
    if (module.is_relative()) module = fs::path(pluginFolder) / module;
    module_ = module.string();
    handle_ = dlopen(module_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        reason_ = "cannot load the engine module " + module_ + ": " + (why != nullptr ? why : "unknown error");
        return;
    }
    auto get = reinterpret_cast<QuorvelLoopbackSimulationFn>(dlsym(handle_, QUORVEL_LOOPBACK_SIMULATION_SYMBOL));
    const QuorvelLoopbackSimulation* table = get != nullptr ? get() : nullptr;
    if (table == nullptr || table->Version < QUORVEL_LOOPBACK_SIMULATION_VERSION) {
        reason_ = "the registered modem engine " + module_ + " offers no simulation of remote stations";
        return;
    }
    table_ = table;
}

TEngineSimulation::~TEngineSimulation() {
    if (handle_ != nullptr) dlclose(handle_);
}

std::int32_t TEngineSimulation::CurrentEngine() const { return table_ != nullptr ? table_->EngineCount() - 1 : -1; }

bool TEngineSimulation::Receive(std::int32_t channel, const std::string& utf8) {
    const std::int32_t engine = CurrentEngine();
    return engine >= 0 && table_->Receive(engine, channel, utf8.c_str()) == 1;
}

bool TEngineSimulation::SetSignalToNoise(std::int32_t channel, double db) {
    const std::int32_t engine = CurrentEngine();
    return engine >= 0 && table_->SetSignalToNoise(engine, channel, db) == 1;
}

bool TEngineSimulation::SetStation(std::int32_t channel, double offsetHz, double driftHzPerMinute, double clockPpm) {
    const std::int32_t engine = CurrentEngine();
    return engine >= 0 && table_->SetStation(engine, channel, offsetHz, driftHzPerMinute, clockPpm) == 1;
}

bool TEngineSimulation::Busy() const {
    if (table_ == nullptr) return false;
    for (std::int32_t e = 0; e < table_->EngineCount(); ++e) {
        if (table_->Transmitting(e) == 1) return true;
        for (std::int32_t ch = 0; ch < 5; ++ch)
            if (table_->PendingReceive(e, ch) > 0) return true;
    }
    return false;
}

std::string TEngineSimulation::TakeSent() {
    const std::int32_t engine = CurrentEngine();
    if (engine < 0) return {};
    const std::int32_t serial = table_->EngineSerial(engine);
    if (serial != sentEngine_) {
        sentEngine_ = serial;
        sentTaken_ = 0;
    }
    const std::int32_t count = table_->SentCount(engine);
    if (count <= sentTaken_) return {};
    const std::int32_t length = table_->SentText(engine, sentTaken_, nullptr, 0);
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    table_->SentText(engine, sentTaken_, buffer.data(), static_cast<std::int32_t>(buffer.size()));
    sentTaken_ = count;
    return std::string(buffer.data());
}

bool TEngineSimulation::Channel(std::int32_t channel, QuorvelLoopbackChannel& out) const {
    const std::int32_t engine = CurrentEngine();
    return engine >= 0 && table_->ChannelState(engine, channel, &out) == 1;
}

std::int32_t TEngineSimulation::ChannelAfc(std::int32_t channel) const {
    const std::int32_t engine = CurrentEngine();
    return engine >= 0 ? table_->ChannelAfc(engine, channel) : -1;
}

bool TEngineSimulation::Filters(QuorvelLoopbackFilters& out) const {
    const std::int32_t engine = CurrentEngine();
    return engine >= 0 && table_->FilterState(engine, &out) == 1;
}

}  // namespace pavohost

namespace pavohost {

void TEngineSimulation::SetAudioFiles(std::string in, std::string out) {
    audioIn_ = std::move(in);
    audioOut_ = std::move(out);
}

std::string TEngineSimulation::AttachAudio() {
    if (audioIn_.empty() && audioOut_.empty() && !soundCards_) return {};
    const std::int32_t engine = CurrentEngine();
    if (engine < 0) return {};
    const std::int32_t serial = table_->EngineSerial(engine);
    if (serial == audioEngine_) return {};
    audioEngine_ = serial;
    if (soundCards_)
        return table_->SetSoundCards(engine, 1) == 1 ? "" : "the modem engine has no audio: it cannot use the sound cards";
    if (table_->SetAudioFiles(engine, audioIn_.c_str(), audioOut_.c_str()) == 1) return {};
    return "the modem engine cannot use the audio files (" + (audioIn_.empty() ? audioOut_ : audioIn_) +
           "): not a WAV file it can read or write, or an engine without audio";
}

}  // namespace pavohost

namespace pavohost {

std::vector<std::string> TEngineSimulation::TakeSoundReport() {
    std::vector<std::string> lines;
    const std::int32_t engine = CurrentEngine();
    if (engine < 0 || !soundCards_) return lines;
    const std::int32_t length = table_->SoundReport(engine, nullptr, 0);
    if (length <= 0) return lines;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    table_->SoundReport(engine, buffer.data(), static_cast<std::int32_t>(buffer.size()));
    std::istringstream text(std::string(buffer.data()));
    for (std::string line; std::getline(text, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace pavohost
