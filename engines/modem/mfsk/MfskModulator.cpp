#include "Mfsk.h"
#include "MfskCodec.h"
#include "MfskShared.h"

#include <cmath>
#include <deque>
#include <numbers>

namespace quorvel::modem {
namespace {

using namespace mfsk;

class MfskModulator final : public IModulator {
public:
    explicit MfskModulator(const ModemSettings& s)
        : settings_(CheckedSettings(s)),
          profile_(MfskProfileFor(s.baud)),
          interleaver_(profile_.interleaverDepth, false),
          samplesPerSymbol_(settings_.sampleRate / profile_.baud),
          carrier_(settings_.carrier),
          preambleBits_(2 * kPreambleSymbols),
          flushBits_(2 * (3 * profile_.interleaverDepth + kFlushMarginSymbols)) {}

    void PutChar(std::uint8_t code) override { queue_.push_back(code); }
    std::size_t Pending() const override { return queue_.size(); }
    void Finish() override { finishing_ = true; }
    bool Finished() const override { return finished_; }

    void SetCarrier(double hz) override {
        if (std::isfinite(hz)) carrier_ = hz;
    }

    std::size_t Generate(std::span<float> out) override {
        std::size_t n = 0;
        const double rampLength = kRampSeconds * settings_.sampleRate;
        while (n < out.size() && !finished_) {
            if (symbolClock_ <= 0) {
                if (flushed_) {
                    // The last symbol is over: fade the tone out and stop.
                    if (rampOut_ >= rampLength) {
                        finished_ = true;
                        break;
                    }
                } else {
                    StartSymbol();
                    symbolClock_ += samplesPerSymbol_;
                }
            }
            double gain = 1.0;
            if (started_ < rampLength) gain = RaisedCosine(started_ / rampLength);
            if (flushed_ && symbolClock_ <= 0) {
                gain = RaisedCosine(1.0 - rampOut_ / rampLength);
                rampOut_ += 1;
            }
            out[n++] = static_cast<float>(gain * std::sin(phase_));
            phase_ += step_;
            if (phase_ > 2 * std::numbers::pi) phase_ -= 2 * std::numbers::pi;
            started_ += 1;
            symbolClock_ -= 1;
        }
        return n;
    }

private:
    static double RaisedCosine(double x) { return x <= 0 ? 0 : x >= 1 ? 1 : 0.5 - 0.5 * std::cos(std::numbers::pi * x); }

    void StartSymbol() {
        std::array<bool, 4> coded{};
        for (int i = 0; i < 2; ++i) {
            const unsigned pair = encoder_.Push(NextDataBit());
            coded[static_cast<std::size_t>(2 * i)] = (pair & 2u) != 0;
            coded[static_cast<std::size_t>(2 * i + 1)] = (pair & 1u) != 0;
        }
        const auto sent = interleaver_.Push(coded);
        unsigned value = 0;
        for (bool b : sent) value = (value << 1) | (b ? 1u : 0u);
        const unsigned tone = GrayEncode(value);
        const double audioTone = settings_.sideband == Sideband::Upper ? tone : kTones - 1 - tone;
        const double hz = carrier_ + (audioTone - (kTones - 1) / 2.0) * profile_.toneSpacing;
        step_ = 2 * std::numbers::pi * hz / settings_.sampleRate;
        if (finishing_ && bitsLeft_ == 0 && queue_.empty() && nulSent_ && flushBits_ == 0) flushed_ = true;
    }

    bool NextDataBit() {
        if (preambleBits_ > 0) {
            --preambleBits_;
            return false;
        }
        if (bitsLeft_ == 0) {
            if (!queue_.empty()) {
                // Text queued after Finish() still gets its closing NUL and flush.
                nulSent_ = false;
                flushBits_ = 2 * (3 * profile_.interleaverDepth + kFlushMarginSymbols);
                LoadWord(queue_.front());
                CharStarted(queue_.front());
                queue_.pop_front();
            } else if (!finishing_ || !nulSent_) {
                LoadWord(0);  // idle, or the NUL that ends the last character
                nulSent_ = finishing_;
            } else {
                if (flushBits_ > 0) --flushBits_;
                return false;
            }
        }
        --bitsLeft_;
        return ((word_ >> bitsLeft_) & 1u) != 0;
    }

    void LoadWord(std::uint8_t code) {
        const auto w = Varicode(code);
        word_ = w.bits;
        bitsLeft_ = w.length;
    }

    ModemSettings settings_;
    MfskProfile profile_;
    ConvolutionalEncoder encoder_;
    DiagonalInterleaver<bool> interleaver_;
    std::deque<std::uint8_t> queue_;
    double samplesPerSymbol_;
    double carrier_;
    double symbolClock_ = 0;
    double phase_ = 0;
    double step_ = 0;
    double started_ = 0;
    double rampOut_ = 0;
    unsigned word_ = 0;
    int bitsLeft_ = 0;
    int preambleBits_;
    int flushBits_;
    bool finishing_ = false;
    bool nulSent_ = false;
    bool flushed_ = false;
    bool finished_ = false;
};

}  // namespace

std::unique_ptr<IModulator> MakeMfskModulator(const ModemSettings& settings) {
    return std::make_unique<MfskModulator>(settings);
}

}  // namespace quorvel::modem
