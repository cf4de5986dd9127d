// Arbitrary bytes as a WAV file played into the DSP engine: the reader either
// refuses them or gives finite audio, and the engine, receiving on every
// channel, takes it to the end without a crash.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "DspEngine.h"
#include "SimDispatcher.h"
#include "WavFile.h"

namespace {

using quorvel::IModemEngineEvents;
using quorvel::OleTrue;

// Checks every sample on its way in.
class TCheckedInput final : public quorvel::modem::IAudioInput {
public:
    explicit TCheckedInput(std::unique_ptr<quorvel::modem::TWavReader> reader) : reader_(std::move(reader)) {}
    std::size_t Read(std::span<float> out) override {
        const std::size_t n = reader_->Read(out);
        if (n > out.size()) std::abort();
        for (std::size_t i = 0; i < n; ++i)
            if (!std::isfinite(out[i])) std::abort();
        return n;
    }

private:
    std::unique_ptr<quorvel::modem::TWavReader> reader_;
};

class TCounting final : public IModemEngineEvents {
public:
    void OnRxChar(std::int16_t nIndex, const std::u16string&, std::uint16_t) override {
        if (nIndex < 0 || nIndex > 4) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<quorvel::modem::TWavReader> reader;
    try {
        reader = std::make_unique<quorvel::modem::TWavReader>(bytes, quorvel::modem::kNominalSampleRate, "fuzz.wav");
    } catch (const std::runtime_error&) {
        return 0;
    }
    quorvel::sim::TSimDispatcher clock;
    quorvel::modem::TDspModemEngine engine{clock};
    TCounting events;
    engine.SetEvents(&events);
    engine.set_bActive(OleTrue);
    for (std::int16_t ch = 1; ch < 5; ++ch) {
        engine.set_Mode(ch, static_cast<std::int16_t>(ch * 2 % engine.wModeMax()));
        engine.set_ChannelOpen(ch, OleTrue);
    }
    engine.SetInput(std::make_unique<TCheckedInput>(std::move(reader)));
    // A small file at a low rate resamples to at most a few minutes.
    for (int second = 0; second < 600 && !engine.InputEnded(); ++second) clock.Advance(1000);
    return 0;
}
