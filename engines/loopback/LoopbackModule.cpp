// The loopback engine as a loadable module: the plug-in finds it through the
// engine registration file beside it and calls QuorvelCreateModemEngine; a
// host or test driver reaches the engines it made through the simulation table
// (LoopbackSimulation.h).
#include <algorithm>

#include "LoopbackEngine.h"
#include "LoopbackSimulation.h"
#include "base/CodePage.h"
#include "pavo/copyout.h"
#include "pavo/modem-engine.h"

namespace {

using quorvel::TLoopbackEngine;

// Engines made by this module; each removes itself when the plug-in frees it.
quorvel::TLoopbackRegistry& Registry() {
    static quorvel::TLoopbackRegistry registry;
    return registry;
}

TLoopbackEngine* Engine(std::int32_t index) {
    const auto& engines = Registry().Engines();
    if (index < 0 || static_cast<std::size_t>(index) >= engines.size()) return nullptr;
    return engines[static_cast<std::size_t>(index)];
}

bool ValidChannel(std::int32_t channel) { return channel >= 0 && channel < TLoopbackEngine::kChannels; }

std::int32_t EngineCount() { return static_cast<std::int32_t>(Registry().Engines().size()); }

std::int32_t EngineSerial(std::int32_t engine) {
    TLoopbackEngine* e = Engine(engine);
    return e == nullptr ? -1 : e->Serial();
}

std::int32_t Receive(std::int32_t engine, std::int32_t channel, const char* utf8) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    e->Receive(static_cast<std::int16_t>(channel), quorvel::Utf8ToUtf16(utf8 != nullptr ? utf8 : ""));
    return 1;
}

std::int32_t SetSignalToNoise(std::int32_t engine, std::int32_t channel, double db) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    e->SetSignalToNoise(static_cast<std::int16_t>(channel), db);
    return 1;
}

std::int32_t PendingReceive(std::int32_t engine, std::int32_t channel) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    return static_cast<std::int32_t>(e->PendingReceive(static_cast<std::int16_t>(channel)));
}

std::int32_t Transmitting(std::int32_t engine) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    return e->bTX() ? 1 : 0;
}

std::int32_t SentCount(std::int32_t engine) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    return static_cast<std::int32_t>(e->SentText().size());
}

std::int32_t SentText(std::int32_t engine, std::int32_t from, char* buffer, std::int32_t size) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    const std::u16string& sent = e->SentText();
    const std::size_t start = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(from, 0)), 0, sent.size());
    return PavoCopyOut(quorvel::Utf16ToUtf8(std::u16string_view(sent).substr(start)), buffer, size);
}

std::int32_t ChannelState(std::int32_t engine, std::int32_t channel, QuorvelLoopbackChannel* out) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel) || out == nullptr) return -1;
    const auto ch = static_cast<std::int16_t>(channel);
    *out = QuorvelLoopbackChannel{};
    PavoCopyOut(quorvel::Utf16ToUtf8(e->ModeName(e->Mode(ch))), out->Mode, sizeof out->Mode);
    out->Speed = e->Speed(ch);
    out->RxCarrier = e->RxCarrier(ch);
    out->Open = ch == 0 || e->ChannelIsOpen(ch) ? 1 : 0;
    out->SignalToNoise = e->SignalToNoise(ch);
    return 1;
}

// Text without a signal: there is no audio to read or write.
std::int32_t SetAudioFiles(std::int32_t engine, const char*, const char*) { return Engine(engine) == nullptr ? -1 : 0; }
std::int32_t SetSoundCards(std::int32_t engine, std::int32_t) { return Engine(engine) == nullptr ? -1 : 0; }
std::int32_t SoundReport(std::int32_t engine, char* buffer, std::int32_t size) {
    if (Engine(engine) == nullptr) return -1;
    if (buffer != nullptr && size > 0) *buffer = '\0';
    return 0;
}

// Text without a signal: there is no frequency to be off.
std::int32_t SetStation(std::int32_t engine, std::int32_t channel, double, double, double) {
    return Engine(engine) == nullptr || !ValidChannel(channel) ? -1 : 0;
}

std::int32_t ChannelAfc(std::int32_t engine, std::int32_t channel) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    return e->Afc(static_cast<std::int16_t>(channel)) != 0 ? 1 : 0;
}

std::int32_t FilterState(std::int32_t engine, QuorvelLoopbackFilters* out) {
    TLoopbackEngine* e = Engine(engine);
    if (e == nullptr || out == nullptr) return -1;
    *out = QuorvelLoopbackFilters{};
    out->Bpf = e->nBPF();
    const TLoopbackEngine::TFilter& f = e->Filter();
    out->Type = f.Type;
    out->Steepness = f.SteepnessX10;
    out->Edge1 = f.Edge1;
    out->Edge2 = f.Edge2;
    out->Taps = f.Taps;
    out->NotchCount = static_cast<std::int32_t>(e->Notches().size());
    for (std::size_t i = 0; i < e->Notches().size() && i < QUORVEL_LOOPBACK_MAX_NOTCHES; ++i)
        out->Notches[i] = e->Notches()[i];
    return 1;
}

constexpr QuorvelLoopbackSimulation kSimulation = {
    QUORVEL_LOOPBACK_SIMULATION_VERSION, EngineCount, EngineSerial, Receive, SetSignalToNoise, PendingReceive, Transmitting,
    SentCount, SentText, ChannelState, SetAudioFiles, SetStation, ChannelAfc, FilterState, SetSoundCards,
    SoundReport};

}  // namespace

QUORVEL_MODEM_ENGINE_EXPORT_VERSION()

extern "C" __attribute__((visibility("default"))) quorvel::TModemEngine* QuorvelCreateModemEngine(
    quorvel::IDispatcher* dispatcher) {
    if (dispatcher == nullptr) return nullptr;
    return std::make_unique<TLoopbackEngine>(*dispatcher, &Registry()).release();
}

extern "C" __attribute__((visibility("default"))) const QuorvelLoopbackSimulation* QuorvelGetLoopbackSimulation() {
    return &kSimulation;
}
