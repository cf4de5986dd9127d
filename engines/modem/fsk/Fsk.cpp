#include "fsk/Fsk.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <vector>

#include "Dsp.h"
#include "Varicode.h"

namespace quorvel::modem {
namespace {

unsigned PreambleBits(double baud) { return static_cast<unsigned>(std::max(48.0, baud)); }

// The Gaussian-filtered response to one bit, u in bits from its centre.
double Pulse(double u, double bt) {
    const double a = std::numbers::pi * bt * std::sqrt(2.0 / std::log(2.0));
    return 0.5 * (std::erf(a * (u + 0.5)) - std::erf(a * (u - 0.5)));
}

class TFskModulator final : public IModulator {
public:
    TFskModulator(const ModemSettings& s, FskShape shape) : s_(s), shape_(shape), preamble_(PreambleBits(s.baud)) {
        SetCarrier(s.carrier);
        levels_.assign(3, 1.0);
    }
    void PutChar(std::uint8_t code) override { queue_.push_back(code); }
    std::size_t Pending() const override { return queue_.size(); }
    void Finish() override { finishing_ = true; }
    bool Finished() const override { return done_; }
    void SetCarrier(double hz) override { carrier_ = hz; }

    std::size_t Generate(std::span<float> out) override {
        const double bitStep = s_.baud / s_.sampleRate;
        const double deviation = shape_.modulationIndex * s_.baud / 2;
        std::size_t n = 0;
        for (; n < out.size(); ++n) {
            if (t_ >= 0.5) {
                t_ -= 1.0;
                if (!NextBit()) break;
            }
            // levels_: previous, current, next bit; t_ from the current centre.
            const double level = levels_[0] * Pulse(t_ + 1, shape_.bt) + levels_[1] * Pulse(t_, shape_.bt) +
                                 levels_[2] * Pulse(t_ - 1, shape_.bt);
            out[n] = static_cast<float>(std::sin(phase_) * gain_);
            phase_ = std::fmod(phase_ + 2 * std::numbers::pi * (carrier_ + deviation * level) / s_.sampleRate,
                               2 * std::numbers::pi);
            t_ += bitStep;
            if (fading_) gain_ = std::max(0.0, gain_ - bitStep);
        }
        return n;
    }

private:
    bool NextBit() {
        if (fading_ && gain_ <= 0) {
            done_ = true;
            return false;
        }
        bool bit = false;
        if (preamble_ > 0) {
            --preamble_;
        } else if (!bits_.empty()) {
            bit = bits_.front();
            bits_.pop_front();
        } else if (!queue_.empty()) {
            const std::uint8_t c = queue_.front();
            queue_.pop_front();
            const TVaricode::Word w = TVaricode::Extended().Encode(c);
            for (int i = w.length - 1; i >= 0; --i) bits_.push_back(((w.bits >> i) & 1u) != 0);
            bits_.push_back(false);
            bits_.push_back(false);
            CharStarted(c);
            bit = bits_.front();
            bits_.pop_front();
        } else if (finishing_ && ++tail_ > 40) {
            fading_ = true;
        }
        // NRZI: a 0 turns the frequency over.
        if (!bit) nextLevel_ = -nextLevel_;
        levels_.pop_front();
        levels_.push_back(nextLevel_);
        return true;
    }

    ModemSettings s_;
    FskShape shape_;
    double carrier_ = 0, phase_ = 0, t_ = 0.5, gain_ = 1.0, nextLevel_ = 1.0;
    std::deque<double> levels_;
    std::deque<std::uint8_t> queue_;
    std::deque<bool> bits_;
    unsigned preamble_, tail_ = 0;
    bool finishing_ = false, fading_ = false, done_ = false;
};

class TFskDemodulator final : public IDemodulator {
public:
    TFskDemodulator(const ModemSettings& s, FskShape shape)
        : s_(s), deviation_(shape.modulationIndex * s.baud / 2),
          down_(s.sampleRate, s.carrier, std::max(1u, static_cast<unsigned>(s.sampleRate / (s.baud * 16))),
                std::min(deviation_ + 1.2 * s.baud, 0.45 * s.sampleRate / std::max(1u, static_cast<unsigned>(s.sampleRate / (s.baud * 16))))),
          sps_(down_.OutputRate() / s.baud), setCarrier_(s.carrier), varicode_(TVaricode::Extended()) {
        box_.assign(std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(sps_))), 0.0f);
        period_ = sps_;
        next_ = sps_ / 2;
        eye_.assign(kWindow, 0.0f);
    }

    void Process(std::span<const float> in) override {
        down_.Process(in.data(), in.size(), [this](cfloat z) { Sample(z); });
    }
    void SetCarrier(double hz) override {
        setCarrier_ = hz;
        down_.SetCarrier(hz);
    }
    double Carrier() const override { return down_.Carrier(); }
    void SetAfc(bool on, double widthHz, double) override {
        afc_ = on;
        afcWidth_ = std::max(0.0, widthHz);
        if (!on) down_.SetCarrier(setCarrier_);
    }
    void SetAtc(bool on) override {
        atc_ = on;
        if (!on) clock_ = 0;
    }
    double SignalToNoise() const override { return snrDb_; }
    double ClockErrorPpm() const override { return -clock_ * 1e6; }

private:
    static constexpr unsigned kWindow = 16, kHold = 32;

    void Sample(cfloat z) {
        // Instantaneous frequency off the carrier, in units of the deviation,
        // averaged over one bit.
        const float f = std::arg(z * std::conj(lastZ_)) * static_cast<float>(down_.OutputRate() / (2 * std::numbers::pi * deviation_));
        lastZ_ = z;
        sum_ += f - box_[boxPos_];
        box_[boxPos_] = f;
        boxPos_ = (boxPos_ + 1) % box_.size();
        const float y = sum_ / static_cast<float>(box_.size());
        count_ += 1.0;
        while (count_ >= next_) {
            const auto frac = static_cast<float>(next_ - (count_ - 1.0));
            const float v = lastY_ + (y - lastY_) * frac;
            if (midNext_) {
                mid_ = v;
                next_ += period_ / 2;
            } else {
                Bit(v);
            }
            midNext_ = !midNext_;
        }
        lastY_ = y;
    }

    void Bit(float raw) {
        // Decisions about the middle between the two levels, each followed on
        // its own: an offset moves both, data that is not balanced neither.
        const double centre = (high_.Value() + low_.Value()) / 2;
        const auto v = static_cast<float>(raw - centre);
        // Noise throws the discriminator far out; only levels a signal
        // could have move the trackers.
        if (std::abs(raw) < 2.0f) (v > 0 ? high_ : low_).Add(raw);
        const double e = std::clamp(static_cast<double>((v - prev_) * (mid_ - static_cast<float>(centre))) / 2.0, -1.0, 1.0);
        if (atc_) clock_ = std::clamp(clock_ + 2e-5 * e, -2e-3, 2e-3);
        period_ = sps_ * (1.0 + clock_);
        next_ += period_ / 2 - 0.1 * sps_ * e;
        const bool one = (v > 0) == (prev_ > 0);  // NRZI
        prev_ = v;
        ++bits_;
        Squelch(v);
        if (afc_ && open_) {
            const double next = std::clamp(down_.Carrier() + 0.05 * centre * deviation_, setCarrier_ - afcWidth_,
                                           setCarrier_ + afcWidth_);
            const auto moved = (next - down_.Carrier()) / deviation_;
            high_.Reset(high_.Value() - moved);
            low_.Reset(low_.Value() - moved);
            down_.SetCarrier(next);
        }
        const int c = varicode_.Bit(one);
        if (c >= 0 && open_) held_.push_back({static_cast<std::uint8_t>(c), bits_});
        while (!held_.empty() && bits_ - held_.front().bit >= kHold) {
            Decoded(held_.front().code);
            held_.pop_front();
        }
    }

    // The eye: a clean signal's samples sit at +-1 deviation.
    void Squelch(float v) {
        const float a = std::abs(v);
        eyeSum_ += a - eye_[eyePos_];
        eyeSq_ += a * a - eye_[eyePos_] * eye_[eyePos_];
        eye_[eyePos_] = a;
        eyePos_ = (eyePos_ + 1) % kWindow;
        const double m = eyeSum_ / kWindow, var = std::max(eyeSq_ / kWindow - m * m, 1e-6);
        snrDb_ = std::clamp(ToDb(m * m / var), -30.0, 60.0);
        if (!open_ && snrDb_ > 9 && m > 0.25 && m < 1.6 && bits_ >= kWindow) {
            open_ = true;
            varicode_.Reset();
        } else if (open_ && (snrDb_ < 5 || m < 0.15)) {
            open_ = false;
            high_.Reset(1.0);
            low_.Reset(-1.0);
            held_.clear();
            varicode_.Reset();
        }
    }

    struct Held {
        std::uint8_t code;
        std::uint64_t bit;
    };

    ModemSettings s_;
    double deviation_;
    TDownconverter down_;
    double sps_, setCarrier_;
    TVaricodeDecoder varicode_;
    bool afc_ = false, atc_ = false, open_ = false;
    double afcWidth_ = 0, clock_ = 0, period_ = 0, next_ = 0, count_ = 0, snrDb_ = -30;
    cfloat lastZ_{1.0f, 0.0f};
    std::vector<float> box_, eye_;
    std::size_t boxPos_ = 0;
    unsigned eyePos_ = 0;
    float sum_ = 0, lastY_ = 0, mid_ = 0, prev_ = 1;
    double eyeSum_ = 0, eyeSq_ = 0;
    bool midNext_ = true;
    std::uint64_t bits_ = 0;
    TAverage high_{0.05, 1.0}, low_{0.05, -1.0};
    std::deque<Held> held_;
};

}  // namespace

std::unique_ptr<IModulator> MakeFskModulator(const ModemSettings& settings, FskShape shape) {
    return std::make_unique<TFskModulator>(settings, shape);
}

std::unique_ptr<IDemodulator> MakeFskDemodulator(const ModemSettings& settings, FskShape shape) {
    return std::make_unique<TFskDemodulator>(settings, shape);
}

}  // namespace quorvel::modem
