#include "rtty/Rtty.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <vector>

#include "Dsp.h"

namespace quorvel::modem {
namespace {

constexpr std::uint8_t kLtrs = 0x1F, kFigs = 0x1B;
constexpr char kLetters[33] = "\0E\nA SIU\rDRJNFCKTZLWHYPQOBG\0MXV\0";
constexpr char kFigures[33] = "\0003\n- '87\r$4\a,!:(5+)2#6019?&\0./=\0";

class TRttyModulator final : public IModulator {
public:
    explicit TRttyModulator(const ModemSettings& s) : s_(s) {
        SetCarrier(s.carrier);
        for (int i = 0; i < 6; ++i) frames_.push_back(kLtrs);  // preamble
    }
    void PutChar(std::uint8_t code) override { queue_.push_back(code); }
    std::size_t Pending() const override { return queue_.size(); }
    void Finish() override { finishing_ = true; }
    bool Finished() const override { return done_; }
    void SetCarrier(double hz) override { carrier_ = hz; }

    std::size_t Generate(std::span<float> out) override {
        const double bitStep = s_.baud / s_.sampleRate;
        const double markSign = s_.sideband == Sideband::Upper ? 1.0 : -1.0;
        std::size_t n = 0;
        for (; n < out.size(); ++n) {
            if (t_ >= bitLength_) {
                t_ -= bitLength_;
                if (!NextBit()) break;
            }
            // Cosine change of frequency over the first fifth of a bit.
            const double edge = std::min(1.0, t_ / 0.2);
            const double w = 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
            const double level = from_ + (to_ - from_) * w;  // +1 mark, -1 space
            const double f = carrier_ + markSign * level * kRttyShiftHz / 2;
            out[n] = static_cast<float>(std::sin(phase_)) * static_cast<float>(gain_);
            phase_ = std::fmod(phase_ + 2 * std::numbers::pi * f / s_.sampleRate, 2 * std::numbers::pi);
            t_ += bitStep;
            if (ending_) gain_ = std::max(0.0, gain_ - bitStep * 2);
        }
        return n;
    }

private:
    // The next bit of the current frame, framing new characters as needed.
    bool NextBit() {
        from_ = to_;
        if (ending_) {
            done_ = true;
            return false;
        }
        if (bit_ >= 7) {
            if (!NextFrame()) {
                ending_ = true;  // fade out over the next half bit
                bitLength_ = 0.5;
                return true;
            }
            bit_ = 0;
        }
        bitLength_ = bit_ == 6 ? 1.5 : 1.0;
        const bool mark = bit_ == 0 ? false : bit_ == 6 ? true : ((frame_ >> (bit_ - 1)) & 1u) != 0;
        to_ = mark ? 1.0 : -1.0;
        ++bit_;
        return true;
    }

    bool NextFrame() {
        while (frames_.empty()) {
            if (queue_.empty()) {
                if (finishing_) {
                    if (tail_-- == 0) return false;
                }
                frames_.push_back(figures_ ? kFigs : kLtrs);  // idle
                break;
            }
            const std::uint8_t c = queue_.front();
            queue_.pop_front();
            BaudotCode b{};
            if (!ToBaudot(c, b)) {
                // Nothing goes on the air, but the echo still comes, in turn.
                echo_.push_back({static_cast<std::uint8_t>(frames_.size() + 1), c});
                continue;
            }
            if (!b.both && b.figures != figures_) {
                frames_.push_back(b.figures ? kFigs : kLtrs);
                figures_ = b.figures;
            }
            frames_.push_back(b.code);
            if (b.code == 0x04) figures_ = false;  // unshift on space
            echo_.push_back({static_cast<std::uint8_t>(frames_.size()), c});
        }
        frame_ = frames_.front();
        frames_.pop_front();
        // A character's echo comes with its own frame, after any shift.
        for (auto& e : echo_) --e.framesLeft;
        while (!echo_.empty() && echo_.front().framesLeft == 0) {
            CharStarted(echo_.front().code);
            echo_.pop_front();
        }
        return true;
    }

    struct Echo {
        std::uint8_t framesLeft;
        std::uint8_t code;
    };

    ModemSettings s_;
    double carrier_ = 0, phase_ = 0, t_ = 1.0, bitLength_ = 1.0, gain_ = 1.0;
    double from_ = 1.0, to_ = 1.0;
    std::deque<std::uint8_t> queue_, frames_;
    std::deque<Echo> echo_;
    std::uint8_t frame_ = kLtrs;
    unsigned bit_ = 7;
    unsigned tail_ = 3;  // LTRS after the text, then the fade
    bool figures_ = false, finishing_ = false, ending_ = false, done_ = false;
};

class TRttyDemodulator final : public IDemodulator {
public:
    explicit TRttyDemodulator(const ModemSettings& s)
        : s_(s), down_(s.sampleRate, s.carrier, std::max(1u, static_cast<unsigned>(s.sampleRate / (s.baud * 16))),
                       std::min(kRttyShiftHz / 2 + 2 * s.baud, 0.45 * s.sampleRate)),
          sps_(down_.OutputRate() / s.baud), setCarrier_(s.carrier) {
        boxLength_ = std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(sps_)));
        markBox_.assign(boxLength_, cfloat{});
        spaceBox_.assign(boxLength_, cfloat{});
        Tones();
    }

    void Process(std::span<const float> in) override {
        down_.Process(in.data(), in.size(), [this](cfloat z) { Sample(z); });
    }
    void SetCarrier(double hz) override {
        setCarrier_ = hz;
        down_.SetCarrier(hz);
    }
    double Carrier() const override { return down_.Carrier(); }
    void SetAfc(bool on, double widthHz, double levelDb) override {
        afc_ = on;
        afcWidth_ = std::max(0.0, widthHz);
        afcLevel_ = levelDb;
        if (!on) down_.SetCarrier(setCarrier_);
    }
    void SetAtc(bool) override {}
    double SignalToNoise() const override { return ToDb(signal_.Value() / std::max(noise_.Value(), 1e-12)); }
    double ClockErrorPpm() const override { return 0; }

private:
    void Tones() {
        const double markSign = s_.sideband == Sideband::Upper ? 1.0 : -1.0;
        markStep_ = std::polar(1.0f, static_cast<float>(-kTwoPi * markSign * kRttyShiftHz / 2 / down_.OutputRate()));
        spaceStep_ = std::conj(markStep_);
    }

    void Sample(cfloat z) {
        markLo_ *= markStep_;
        spaceLo_ *= spaceStep_;
        if (++renorm_ >= 1024) {
            renorm_ = 0;
            markLo_ /= std::abs(markLo_);
            spaceLo_ /= std::abs(spaceLo_);
        }
        const cfloat m = z * markLo_, sp = z * spaceLo_;
        markSum_ += m - markBox_[boxPos_];
        spaceSum_ += sp - spaceBox_[boxPos_];
        markBox_[boxPos_] = m;
        spaceBox_[boxPos_] = sp;
        boxPos_ = (boxPos_ + 1) % boxLength_;
        const float em = std::abs(markSum_), es = std::abs(spaceSum_);
        const float v = em - es;
        if (afc_) Afc(em > es ? markSum_ : spaceSum_, std::max(em, es), std::min(em, es));
        ++n_;
        Frame(v, em, es);
        Release();
        lastV_ = v;
    }

    // Frames characters: a mark-to-space crossing of the filtered envelope
    // comes half a bit after the start bit's edge.
    void Frame(float v, float em, float es) {
        if (!framing_) {
            if (lastV_ >= 0 && v < 0) {
                framing_ = true;
                openAtStart_ = open_;
                frameSignal_ = frameNoise_ = 0;
                at_ = static_cast<double>(n_) + sps_ / 2;
                bit_ = 0;
                frame_ = 0;
            }
            return;
        }
        if (static_cast<double>(n_) < at_) return;
        const float hi = std::max(em, es), lo = std::min(em, es);
        const double sig = static_cast<double>(hi) * hi - static_cast<double>(lo) * lo, noise = static_cast<double>(lo) * lo;
        if (!primed_) {  // start from the first bit heard, not from nothing
            primed_ = true;
            signal_.Reset(sig);
            noise_.Reset(noise);
        }
        signal_.Add(sig);
        noise_.Add(noise);
        frameSignal_ += sig;
        frameNoise_ += noise;
        if (bit_ == 0) {
            if (v >= 0) {  // no start bit after all
                framing_ = false;
                return;
            }
        } else if (bit_ <= 5) {
            if (v > 0) frame_ |= static_cast<std::uint8_t>(1u << (bit_ - 1));
        } else {
            framing_ = false;
            Squelch(ToDb(frameSignal_ / std::max(frameNoise_, 1e-12)));
            if (v > 0) Character(frame_);  // a frame without its stop bit is noise
            return;
        }
        ++bit_;
        at_ += sps_;
    }

    void Character(std::uint8_t code) {
        if (code == kLtrs) {
            figures_ = false;
        } else if (code == kFigs) {
            figures_ = true;
        } else {
            const std::uint8_t c = FromBaudot(code, figures_);
            // Framed from noise before the squelch opened: not the station's.
            if (code == 0x04) figures_ = false;
            if (c != 0 && open_ && openAtStart_) held_.push_back({c, n_});
        }
    }

    // A frame that is itself noise closes at once: the noise after a signal
    // ends prints nothing.
    void Squelch(double frameSnr) {
        const double snr = SignalToNoise();
        if (!open_ && snr > 9 && frameSnr > 6) {
            open_ = true;
        } else if (open_ && (snr < 6 || frameSnr < 4)) {
            open_ = false;
            held_.clear();
        }
    }

    // Characters wait about two characters' time, so a squelch closing on
    // noise takes the noise's characters with it.
    void Release() {
        const double hold = 16 * sps_;
        while (!held_.empty() && static_cast<double>(n_ - held_.front().at) >= hold) {
            Decoded(held_.front().code);
            held_.pop_front();
        }
    }

    void Afc(cfloat y, float strong, float weak) {
        if (!open_ || strong < 2 * weak || SignalToNoise() < afcLevel_ - 10) {
            lastTone_ = {};
            return;
        }
        if (std::abs(lastTone_) > 0) {
            const double f = std::arg(y * std::conj(lastTone_)) * down_.OutputRate() / (2 * std::numbers::pi);
            const double next = std::clamp(down_.Carrier() + 0.002 * f, setCarrier_ - afcWidth_, setCarrier_ + afcWidth_);
            down_.SetCarrier(next);
        }
        lastTone_ = y;
    }

    struct Held {
        std::uint8_t code;
        std::uint64_t at;
    };

    ModemSettings s_;
    TDownconverter down_;
    double sps_;
    double setCarrier_;
    bool afc_ = false;
    double afcWidth_ = 0, afcLevel_ = 0;
    cfloat markStep_, spaceStep_, markLo_{1.0f, 0.0f}, spaceLo_{1.0f, 0.0f}, markSum_{}, spaceSum_{}, lastTone_{};
    std::vector<cfloat> markBox_, spaceBox_;
    std::size_t boxLength_ = 1, boxPos_ = 0;
    unsigned renorm_ = 0;
    std::uint64_t n_ = 0;
    float lastV_ = 1;
    bool framing_ = false, figures_ = false, open_ = false, openAtStart_ = false;
    double at_ = 0, frameSignal_ = 0, frameNoise_ = 0;
    unsigned bit_ = 0;
    std::uint8_t frame_ = 0;
    TAverage signal_{1.0 / 12}, noise_{1.0 / 12, 1.0};
    bool primed_ = false;
    std::deque<Held> held_;
};

}  // namespace

bool ToBaudot(std::uint8_t c, BaudotCode& out) {
    if (c >= 'a' && c <= 'z') c = static_cast<std::uint8_t>(c - 32);
    if (c == 0) return false;
    for (std::uint8_t code = 0; code < 32; ++code) {
        if (code == kLtrs || code == kFigs) continue;
        const bool both = kLetters[code] == kFigures[code];
        if (static_cast<std::uint8_t>(kLetters[code]) == c) {
            out = {code, false, both};
            return true;
        }
        if (static_cast<std::uint8_t>(kFigures[code]) == c) {
            out = {code, true, both};
            return true;
        }
    }
    return false;
}

std::uint8_t FromBaudot(std::uint8_t code, bool figures) {
    if (code >= 32 || code == kLtrs || code == kFigs) return 0;
    return static_cast<std::uint8_t>(figures ? kFigures[code] : kLetters[code]);
}

std::unique_ptr<IModulator> MakeRttyModulator(const ModemSettings& settings) {
    return std::make_unique<TRttyModulator>(settings);
}

std::unique_ptr<IDemodulator> MakeRttyDemodulator(const ModemSettings& settings) {
    return std::make_unique<TRttyDemodulator>(settings);
}

}  // namespace quorvel::modem
