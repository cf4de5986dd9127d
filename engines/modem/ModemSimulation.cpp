#include "ModemSimulation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Modes.h"
#include "WavFile.h"
#include "base/CodePage.h"

namespace quorvel::modem {
namespace {

// How long the receivers may still be printing after a station went quiet.
constexpr double kDecoderLatencySeconds = 2.5;

TDspModemEngine* Engine(std::int32_t index) {
    const auto& engines = ModuleEngines().Engines();
    if (index < 0 || static_cast<std::size_t>(index) >= engines.size()) return nullptr;
    return engines[static_cast<std::size_t>(index)];
}

bool ValidChannel(std::int32_t channel) { return channel >= 0 && channel < TDspModemEngine::kChannels; }

std::int32_t CopyOut(const std::string& text, char* buffer, std::int32_t size) {
    if (buffer != nullptr && size > 0) {
        const auto n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<std::int32_t>(text.size());
}

std::string ToCodes(const std::u16string& text) {
    std::string codes;
    for (char16_t c : text) codes.push_back(c < 0x80 ? static_cast<char>(c) : UnicodeToCp1251(c));
    return codes;
}

std::u16string FromCodes(std::string_view codes) {
    std::u16string text;
    for (char c : codes) text.push_back(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(c))));
    return text;
}

std::int32_t EngineCount() { return static_cast<std::int32_t>(ModuleEngines().Engines().size()); }

std::int32_t EngineSerial(std::int32_t engine) {
    TDspModemEngine* e = Engine(engine);
    return e == nullptr ? -1 : e->Serial();
}

std::int32_t Receive(std::int32_t engine, std::int32_t channel, const char* utf8) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    e->Pump();  // the station starts now, not at the last tick
    const auto ch = static_cast<std::int16_t>(channel);
    const StationSetup setup = e->Station(ch);
    return e->RemoteSend(ch, ToCodes(Utf8ToUtf16(utf8 != nullptr ? utf8 : "")), &setup) ? 1 : 0;
}

std::int32_t SetSignalToNoise(std::int32_t engine, std::int32_t channel, double db) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel) || e->Band() == nullptr) return -1;
    e->Band()->SetSignalToNoise(channel, db);
    return 1;
}

std::int32_t PendingReceive(std::int32_t engine, std::int32_t channel) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    const TSimulatedBand* band = e->Band();
    if (e->UsesSoundCards()) return 0;  // nothing scripted to wait for
    if (band == nullptr) return e->InputEnded() ? 0 : 1;
    const auto pending = static_cast<std::int32_t>(band->Pending(channel));
    const bool printing = band->OnAir(channel) || band->QuietSeconds(channel) < kDecoderLatencySeconds;
    return pending + (printing && pending == 0 ? 1 : 0);
}

std::int32_t Transmitting(std::int32_t engine) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    return e->bTX() ? 1 : 0;
}

std::int32_t SentCount(std::int32_t engine) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    return static_cast<std::int32_t>(e->SentText().size());
}

std::int32_t SentText(std::int32_t engine, std::int32_t from, char* buffer, std::int32_t size) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    const std::string& sent = e->SentText();
    const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(std::max(from, 0)), sent.size());
    return CopyOut(Utf16ToUtf8(FromCodes(std::string_view(sent).substr(start))), buffer, size);
}

std::int32_t ChannelState(std::int32_t engine, std::int32_t channel, QuorvelLoopbackChannel* out) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel) || out == nullptr) return -1;
    const auto ch = static_cast<std::int16_t>(channel);
    *out = QuorvelLoopbackChannel{};
    CopyOut(Utf16ToUtf8(e->ModeName(e->Mode(ch))), out->Mode, sizeof out->Mode);
    out->Speed = e->Speed(ch);
    out->RxCarrier = e->RxCarrier(ch);
    out->Open = e->ChannelIsOpen(ch) ? 1 : 0;
    // The ratio the script set for the station, not the receiver's estimate:
    // a transcript stays the same whatever the noise did.
    out->SignalToNoise = e->Band() != nullptr && !e->UsesSoundCards() ? e->Band()->SignalToNoise(channel) : e->SignalToNoise(ch);
    return 1;
}

std::int32_t SetAudioFiles(std::int32_t engine, const char* in, const char* out) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    try {
        if (in != nullptr && *in != '\0') e->SetInput(std::make_unique<TWavReader>(in, e->dblSampleFreq()));
        if (out != nullptr && *out != '\0') e->SetOutput(std::make_unique<TWavWriter>(out, e->dblSampleFreq()));
    } catch (const std::exception&) {
        return 0;
    }
    return 1;
}

std::int32_t SetStation(std::int32_t engine, std::int32_t channel, double offsetHz, double driftHzPerMinute,
                        double clockPpm) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    if (!std::isfinite(offsetHz) || !std::isfinite(driftHzPerMinute) || !std::isfinite(clockPpm) ||
        std::abs(clockPpm) > 10000)
        return 0;
    StationSetup s;
    s.offsetHz = offsetHz;
    s.driftHzPerMinute = driftHzPerMinute;
    s.clockPpm = clockPpm;
    e->SetStation(static_cast<std::int16_t>(channel), s);
    return 1;
}

std::int32_t ChannelAfc(std::int32_t engine, std::int32_t channel) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr || !ValidChannel(channel)) return -1;
    return e->Afc(static_cast<std::int16_t>(channel)) != 0 ? 1 : 0;
}

std::int32_t FilterState(std::int32_t engine, QuorvelLoopbackFilters* out) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr || out == nullptr) return -1;
    *out = QuorvelLoopbackFilters{};
    out->Bpf = e->nBPF();
    const TDspModemEngine::TFilterSnapshot f = e->FilterSnapshot();
    out->Type = f.Type;
    out->Steepness = f.Order * 10;
    out->Edge1 = f.Edge1;
    out->Edge2 = f.Edge2;
    out->NotchCount = static_cast<std::int32_t>(f.Notches.size());
    for (std::size_t i = 0; i < f.Notches.size() && i < QUORVEL_LOOPBACK_MAX_NOTCHES; ++i) out->Notches[i] = f.Notches[i];
    return 1;
}

std::int32_t SetSoundCards(std::int32_t engine, std::int32_t on) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    e->UseSoundCards(on != 0);
    return 1;
}

std::int32_t SoundReport(std::int32_t engine, char* buffer, std::int32_t size) {
    TDspModemEngine* e = Engine(engine);
    if (e == nullptr) return -1;
    const std::vector<std::string> lines = e->SoundReport();
    std::string report;
    for (const std::string& line : lines) report += line + "\n";
    const auto length = CopyOut(report, buffer, size);
    if (buffer != nullptr && size > length) e->DropSoundReport(lines.size());
    return length;
}

constexpr QuorvelLoopbackSimulation kSimulation = {
    QUORVEL_LOOPBACK_SIMULATION_VERSION, EngineCount, EngineSerial, Receive, SetSignalToNoise, PendingReceive,
    Transmitting, SentCount, SentText, ChannelState, SetAudioFiles, SetStation, ChannelAfc, FilterState,
    SetSoundCards, SoundReport};

}  // namespace

const QuorvelLoopbackSimulation* ModuleSimulation() { return &kSimulation; }

}  // namespace quorvel::modem
