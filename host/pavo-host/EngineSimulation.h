#pragma once
// The remote stations' side of the air: the simulation table of the modem
// engine the plug-in uses, when that engine is the loopback stand-in
// (engines/loopback/LoopbackSimulation.h). The host finds the engine module
// the way the plug-in does, through the registration file beside the plug-in,
// and opens the same file, so both reach the same engines.
#include <cstdint>
#include <string>
#include <vector>

#include "LoopbackSimulation.h"

namespace pavohost {

class TEngineSimulation {
public:
    // pluginFolder: the folder of the .kpl. Never throws: Available() says
    // whether the engine can be driven and Reason() why not.
    explicit TEngineSimulation(const std::string& pluginFolder);
    ~TEngineSimulation();
    TEngineSimulation(const TEngineSimulation&) = delete;
    TEngineSimulation& operator=(const TEngineSimulation&) = delete;

    bool Available() const { return table_ != nullptr; }
    const std::string& Reason() const { return reason_; }
    const std::string& Module() const { return module_; }

    // The engine of the current plug-in window: the newest alive; -1 none.
    std::int32_t CurrentEngine() const;
    bool Receive(std::int32_t channel, const std::string& utf8);
    bool SetSignalToNoise(std::int32_t channel, double db);
    bool SetStation(std::int32_t channel, double offsetHz, double driftHzPerMinute, double clockPpm);
    // Remote text still queued, or the engine transmitting.
    bool Busy() const;
    // Text sent on the air since the last call.
    std::string TakeSent();
    bool Channel(std::int32_t channel, QuorvelLoopbackChannel& out) const;
    // WAV files for the received and the transmitted audio of every engine
    // the plug-in makes from now on (empty: the simulated band, no file).
    void SetAudioFiles(std::string in, std::string out);
    // The machine's sound cards for every engine from now on, instead of
    // the simulated band and the files.
    void SetSoundCards(bool on) { soundCards_ = on; }
    bool SoundCards() const { return soundCards_; }
    // Hands the files or the sound cards to a newly made engine; an error
    // text when it refused.
    std::string AttachAudio();
    // What became of the current engine's sound devices since the last call,
    // a line each.
    std::vector<std::string> TakeSoundReport();
    // 1 AFC on, 0 off, -1 no such channel.
    std::int32_t ChannelAfc(std::int32_t channel) const;
    bool Filters(QuorvelLoopbackFilters& out) const;

private:
    void* handle_ = nullptr;
    const QuorvelLoopbackSimulation* table_ = nullptr;
    std::string module_, reason_;
    std::int32_t sentEngine_ = -1;  // serial of the engine whose sent text was taken
    std::int32_t sentTaken_ = 0;
    std::string audioIn_, audioOut_;
    bool soundCards_ = false;
    std::int32_t audioEngine_ = -1;  // serial of the engine given the files
};

}  // namespace pavohost
