#include "psk/Psk.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <numbers>
#include <vector>

#include "Convolutional.h"
#include "Dsp.h"

namespace quorvel::modem {
namespace {

constexpr unsigned kConstraint = 5, kPoly0 = 0x17, kPoly1 = 0x19, kViterbiDepth = 24;
constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

// Phase change of each QPSK code-bit pair on the upper sideband.
constexpr std::array<float, 4> kQpskShift = {std::numbers::pi_v<float>, kHalfPi, -kHalfPi, 0.0f};

unsigned PreambleSymbols(double baud) { return static_cast<unsigned>(std::max(48.0, baud / 2)); }

class TPskModulator final : public IModulator {
public:
    TPskModulator(const ModemSettings& s, PskKind kind, const TVaricode& alphabet)
        : settings_(s), kind_(kind), alphabet_(alphabet), encoder_(kConstraint, kPoly0, kPoly1),
          preamble_(PreambleSymbols(s.baud)) {
        SetCarrier(s.carrier);
    }

    void PutChar(std::uint8_t code) override { queue_.push_back(code); }
    std::size_t Pending() const override { return queue_.size(); }
    void Finish() override { finishing_ = true; }
    bool Finished() const override { return stage_ == Stage::Done; }
    void SetCarrier(double hz) override { step_ = 2 * std::numbers::pi * hz / settings_.sampleRate; }

    std::size_t Generate(std::span<float> out) override {
        const double symbolStep = settings_.baud / settings_.sampleRate;
        std::size_t n = 0;
        for (; n < out.size(); ++n) {
            if (t_ >= 1.0) {
                t_ -= 1.0;
                if (!NextSymbol()) break;
            }
            const float w = 0.5f * (1.0f + std::cos(std::numbers::pi_v<float> * static_cast<float>(t_)));
            const cfloat z = from_ * w + to_ * (1.0f - w);
            out[n] = z.real() * static_cast<float>(std::cos(phase_)) - z.imag() * static_cast<float>(std::sin(phase_));
            phase_ = std::fmod(phase_ + step_, 2 * std::numbers::pi);
            t_ += symbolStep;
        }
        return n;
    }

private:
    enum class Stage : std::uint8_t { Preamble, Data, Flush, Carrier, Fade, Done };

    // Moves to the next symbol; false once the signal has ended.
    bool NextSymbol() {
        from_ = to_;
        switch (stage_) {
            case Stage::Preamble:
                SendBit(false);
                if (--preamble_ == 0) stage_ = Stage::Data;
                return true;
            case Stage::Data:
                if (bits_.empty()) {
                    if (!queue_.empty()) {
                        const std::uint8_t c = queue_.front();
                        queue_.pop_front();
                        const TVaricode::Word w = alphabet_.Encode(c);
                        // A code the alphabet has no word for is not sent,
                        // but echoed all the same.
                        if (w.length > 0) {
                            for (int i = w.length - 1; i >= 0; --i) bits_.push_back(((w.bits >> i) & 1u) != 0);
                            bits_.push_back(false);
                            bits_.push_back(false);
                        }
                        CharStarted(c);
                    } else if (finishing_) {
                        stage_ = kind_ == PskKind::Qpsk ? Stage::Flush : Stage::Carrier;
                        // QPSK closes with zeros, not carrier: a carrier is no
                        // code sequence, and the decoder would print it.
                        tail_ = kind_ == PskKind::Qpsk ? 64 : PreambleSymbols(settings_.baud);
                        return NextSymbolAgain();
                    }
                }
                if (bits_.empty()) {
                    SendBit(false);  // idle
                } else {
                    SendBit(bits_.front());
                    bits_.pop_front();
                }
                return true;
            case Stage::Flush:
                SendBit(false);
                if (--tail_ == 0) stage_ = Stage::Fade;
                return true;
            case Stage::Carrier:
                if (--tail_ == 0) stage_ = Stage::Fade;
                return true;
            case Stage::Fade:
                to_ = 0;
                stage_ = Stage::Done;
                return true;
            case Stage::Done:
                return false;
        }
        return false;
    }
    bool NextSymbolAgain() {
        to_ = from_;
        return NextSymbol();
    }

    void SendBit(bool one) {
        if (kind_ == PskKind::Bpsk) {
            if (!one) to_ = -from_;
            return;
        }
        float shift = kQpskShift[encoder_.Encode(one)];
        if (settings_.sideband == Sideband::Lower) shift = -shift;
        to_ = from_ * std::polar(1.0f, shift);
    }

    ModemSettings settings_;
    PskKind kind_;
    const TVaricode& alphabet_;
    TConvolutionalEncoder encoder_;
    std::deque<std::uint8_t> queue_;
    std::deque<bool> bits_;
    Stage stage_ = Stage::Preamble;
    unsigned preamble_, tail_ = 0;
    bool finishing_ = false;
    cfloat from_{1.0f, 0.0f}, to_{1.0f, 0.0f};
    double t_ = 1.0;  // position in the current symbol; starts at a boundary
    double phase_ = 0, step_ = 0;
};

// The length of the mean of the last n unit vectors.
class TCoherence {
public:
    explicit TCoherence(std::size_t n) : window_(n) {}
    double Add(cfloat m) {
        sum_ += m - window_[pos_];
        window_[pos_] = m;
        pos_ = (pos_ + 1) % window_.size();
        if (++sinceExact_ >= 4096) {  // keep the running sum from drifting
            sinceExact_ = 0;
            sum_ = {};
            for (const cfloat& w : window_) sum_ += w;
        }
        return Value();
    }
    double Value() const { return std::abs(sum_) / static_cast<double>(window_.size()); }

private:
    std::vector<cfloat> window_;
    std::size_t pos_ = 0, sinceExact_ = 0;
    cfloat sum_{};
};

struct FftwPlanDeleter {
    void operator()(fftwf_plan_s* p) const noexcept { fftwf_destroy_plan(p); }
};

class TPskDemodulator final : public IDemodulator {
public:
    TPskDemodulator(const ModemSettings& s, PskKind kind, const TVaricode& alphabet)
        : settings_(s), kind_(kind), decimation_(std::max(1u, static_cast<unsigned>(s.sampleRate / (s.baud * 16)))),
          cutoff_(std::min(3.5 * s.baud, 0.4 * s.sampleRate / decimation_)),
          down_(s.sampleRate, s.carrier, decimation_, cutoff_),
          sps_(down_.OutputRate() / s.baud), varicode_(alphabet), viterbi_(kConstraint, kPoly0, kPoly1, kViterbiDepth),
          setCarrier_(s.carrier) {
        // A cosine pulse two symbols long matches BPSK's keying; its
        // neighbour interference stays on the real axis there, but would
        // turn QPSK's phases, which take a pulse half as long.
        const double span = kind == PskKind::Bpsk ? 2.0 : 1.0;
        const auto len = static_cast<unsigned>(std::lround(span * sps_)) | 1u;
        std::vector<float> taps(len);
        float sum = 0;
        for (unsigned i = 0; i < len; ++i) {
            taps[i] = 0.5f - 0.5f * std::cos(kTwoPi * static_cast<float>(i + 1) / static_cast<float>(len + 1));
            sum += taps[i];
        }
        for (float& t : taps) t /= sum;
        matched_.reset(firfilt_crcf_create(taps.data(), len));
        period_ = sps_;
        next_ = period_ / 2;
        // About a second of baseband for the AFC's search, in a power of two.
        fftSize_ = 64;
        while (fftSize_ < down_.OutputRate() && fftSize_ < 4096) fftSize_ *= 2;
        fftIn_ = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * fftSize_));
        fftOut_ = static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * fftSize_));
        plan_.reset(fftwf_plan_dft_1d(static_cast<int>(fftSize_), fftIn_, fftOut_, FFTW_FORWARD, FFTW_ESTIMATE));
        history_.assign(fftSize_, cfloat{});
    }
    ~TPskDemodulator() override {
        plan_.reset();
        fftwf_free(fftIn_);
        fftwf_free(fftOut_);
    }
    TPskDemodulator(const TPskDemodulator&) = delete;
    TPskDemodulator& operator=(const TPskDemodulator&) = delete;

    void Process(std::span<const float> in) override {
        down_.Process(in.data(), in.size(), [this](cfloat z) { Baseband(z); });
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
    void SetAtc(bool on) override {
        atc_ = on;
        if (!on) clock_ = 0;
    }
    double SignalToNoise() const override { return snrDb_; }
    double ClockErrorPpm() const override { return -clock_ * 1e6; }

private:
    static constexpr unsigned kSquelchWindow = 16, kHoldSymbols = 32;

    void Baseband(cfloat z) {
        history_[historyPos_] = z;
        historyPos_ = (historyPos_ + 1) % fftSize_;
        // Search only over audio heard since the last retune.
        ++sinceSearch_;
        if (sinceRetune_ < fftSize_) ++sinceRetune_;
        if (sinceSearch_ >= fftSize_ / 8 && sinceRetune_ >= fftSize_) {
            sinceSearch_ = 0;
            if (afc_) Search();
        }
        cfloat y;
        firfilt_crcf_execute_one(matched_.get(), z, &y);
        count_ += 1.0;
        while (count_ >= next_) {
            const auto frac = static_cast<float>(next_ - (count_ - 1.0));
            const cfloat s = last_ + (y - last_) * frac;
            if (midNext_) {
                mid_ = s;
                next_ += period_ / 2;
            } else {
                Symbol(s);
            }
            midNext_ = !midNext_;
        }
        last_ = y;
    }

    void Symbol(cfloat s) {
        // Gardner timing error, normalised by the signal's power.
        const float p = std::norm(s) + std::norm(prev_) + 1e-12f;
        const float e = std::real((s - prev_) * std::conj(mid_)) / p;
        const double ek = std::clamp(static_cast<double>(e), -1.0, 1.0);
        if (atc_) clock_ = std::clamp(clock_ + 1e-4 * ek, -2e-3, 2e-3);
        period_ = sps_ * (1.0 + clock_);
        next_ += period_ / 2 - 0.1 * sps_ * ek;

        const cfloat d = s * std::conj(prev_);
        prev_ = s;
        const cfloat u = d / (std::abs(d) + 1e-20f);
        recent_[symbols_ % recent_.size()] = u;
        if (kind_ == PskKind::Bpsk) {
            Squelch(u * u, 2.0);
        } else {
            const cfloat u4 = (u * u) * (u * u);
            rawShort_.Add(u4);
            rawLong_.Add(u4);
        }
        ++symbols_;
        if (afc_ && open_) FineAfc(d);

        // Soft decisions keep their size: a weak symbol weighs less.
        const auto level = static_cast<float>(dLevel_.Add(std::abs(d))) + 1e-12f;
        int bit = -1;
        if (kind_ == PskKind::Bpsk) {
            bit = d.real() > 0 ? 1 : 0;
        } else {
            std::array<float, 4> metrics{};
            for (unsigned c = 0; c < 4; ++c) {
                float shift = kQpskShift[c];
                if (settings_.sideband == Sideband::Lower) shift = -shift;
                metrics[c] = std::real(d * std::polar(1.0f, -shift)) / level;
            }
            bit = viterbi_.Step(metrics);
            if (bit >= 0) {
                // Decision-directed quality: the symbol the decoded bit stands
                // for, taken out of what was received, leaves only the noise.
                float shift = kQpskShift[reencoder_.Encode(bit != 0)];
                if (settings_.sideband == Sideband::Lower) shift = -shift;
                const cfloat then = recent_[(symbols_ - 1 - kViterbiDepth) % recent_.size()];
                Squelch(then * std::polar(1.0f, -shift), 1.0);
            }
        }
        if (bit >= 0) {
            const int c = varicode_.Bit(bit != 0);
            if (c >= 0 && open_) held_.push_back({static_cast<std::uint8_t>(c), symbols_});
        }
        // What has outlived the squelch window is a real signal's: print it.
        while (!held_.empty() && symbols_ - held_.front().symbol >= kHoldSymbols) {
            const std::uint8_t c = held_.front().code;
            held_.pop_front();
            Decoded(c);
        }
    }

    // A PSK signal's phase changes sit on the constellation: squared (BPSK),
    // or turned back by the decoded symbol (QPSK), they all point one way,
    // noise's do not. The length of their mean over a window is the squelch
    // and, through the phase jitter it implies, the signal-to-noise estimate.
    void Squelch(cfloat m, double order) {
        const double coherence = std::clamp(quality_.Add(m), 1e-6, 0.999999);
        const double jitter = -2.0 * std::log(coherence) / (order * order);
        snrDb_ = std::clamp(ToDb(1.0 / jitter), -30.0, 60.0);
        bool open = false, close = false;
        if (kind_ == PskKind::Bpsk) {
            open = coherence >= 0.42;
            close = coherence < 0.3;
        } else {
            // The decoder fits its best path to noise too, so its quality
            // alone opens on noise: the fourth-power coherence must agree
            // over a longer window, and its short window closes quickly.
            open = coherence >= 0.55 && rawLong_.Value() >= 0.25;
            close = coherence < 0.4 || rawShort_.Value() < 0.08;
        }
        if (!open_ && open && symbols_ >= kSquelchWindow) {
            open_ = true;
            varicode_.Reset();
        } else if (open_ && close) {
            open_ = false;
            held_.clear();
            varicode_.Reset();
        }
    }

    void FineAfc(cfloat d) {
        if (snrDb_ < afcLevel_ - 10) return;
        const cfloat m = kind_ == PskKind::Bpsk ? d * d : (d * d) * (d * d);
        const double order = kind_ == PskKind::Bpsk ? 2.0 : 4.0;
        const double offset = std::arg(m) / order / (2 * std::numbers::pi) * settings_.baud;
        Retune(down_.Carrier() + 0.05 * offset);
    }

    // Looks for the strongest signal of about the mode's width within the AFC
    // range, and jumps to it when it stands clear of the noise and the
    // receiver is off it by more than the fine loop can pull.
    void Search() {
        for (unsigned i = 0; i < fftSize_; ++i) {
            const cfloat z = history_[(historyPos_ + i) % fftSize_];
            const float w = 0.5f - 0.5f * std::cos(kTwoPi * static_cast<float>(i) / static_cast<float>(fftSize_));
            fftIn_[i][0] = z.real() * w;
            fftIn_[i][1] = z.imag() * w;
        }
        fftwf_execute(plan_.get());
        const double binHz = down_.OutputRate() / fftSize_;
        const int half = static_cast<int>(fftSize_ / 2);
        std::vector<float> bins(fftSize_);
        for (int k = -half; k < half; ++k) {
            const auto& v = fftOut_[(k + static_cast<int>(fftSize_)) % static_cast<int>(fftSize_)];
            bins[static_cast<std::size_t>(k + half)] = v[0] * v[0] + v[1] * v[1];
        }
        // The noise floor: the median over the decimator's pass band only.
        std::vector<float> sorted;
        for (int k = -half; k < half; ++k)
            if (std::abs(k * binHz) < 0.8 * cutoff_) sorted.push_back(bins[static_cast<std::size_t>(k + half)]);
        if (sorted.empty()) return;
        const auto middle = sorted.begin() + static_cast<long>(sorted.size() / 2);
        std::nth_element(sorted.begin(), middle, sorted.end());
        const float noise = *middle + 1e-20f;
        const int width = std::max(1, static_cast<int>(std::lround(0.75 * settings_.baud / binHz)));
        const double maxOffset = std::min(afcWidth_ + setCarrier_ - down_.Carrier(),
                                          0.4 * down_.OutputRate() - settings_.baud);
        const double minOffset = std::max(-afcWidth_ + setCarrier_ - down_.Carrier(),
                                          -0.4 * down_.OutputRate() + settings_.baud);
        double best = 0;
        int bestK = 0;
        for (int k = -half + width; k < half - width; ++k) {
            const double f = k * binHz;
            if (f < minOffset || f > maxOffset) continue;
            double e = 0;
            for (int j = -width; j <= width; ++j) e += bins[static_cast<std::size_t>(k + j + half)];
            if (e > best) {
                best = e;
                bestK = k;
            }
        }
        const double ratio = best / (noise * (2 * width + 1));
        if (ratio < 4.0 || ToDb(ratio) < afcLevel_ - 20) return;
        // The centre of the power in the window: a lone carrier fills many
        // windows equally, its centroid is still the carrier.
        double weighted = 0;
        for (int j = -width; j <= width; ++j) weighted += (bestK + j) * static_cast<double>(bins[static_cast<std::size_t>(bestK + j + half)]);
        const double offset = weighted / best * binHz;
        if (std::abs(offset) > settings_.baud / 4) {
            Retune(down_.Carrier() + offset);
            sinceRetune_ = 0;
        }
    }

    void Retune(double hz) {
        down_.SetCarrier(std::clamp(hz, setCarrier_ - afcWidth_, setCarrier_ + afcWidth_));
    }

    struct Held {
        std::uint8_t code;
        std::uint64_t symbol;
    };

    ModemSettings settings_;
    PskKind kind_;
    unsigned decimation_;
    double cutoff_;
    TDownconverter down_;
    double sps_;
    FirHandle matched_;
    TVaricodeDecoder varicode_;
    TViterbiDecoder viterbi_;
    double setCarrier_;
    bool afc_ = false, atc_ = false;
    double afcWidth_ = 0, afcLevel_ = 0;

    double count_ = 0, next_ = 0, period_ = 0, clock_ = 0;
    bool midNext_ = true;
    cfloat last_{}, mid_{}, prev_{1.0f, 0.0f};

    TCoherence quality_{kSquelchWindow}, rawShort_{kSquelchWindow}, rawLong_{64};
    double snrDb_ = -30;
    bool open_ = false;
    std::array<cfloat, 64> recent_{};
    TConvolutionalEncoder reencoder_{kConstraint, kPoly0, kPoly1};
    TAverage dLevel_{0.05, 1.0};
    std::uint64_t symbols_ = 0;
    std::deque<Held> held_;

    unsigned fftSize_ = 0, historyPos_ = 0, sinceSearch_ = 0, sinceRetune_ = 0;
    std::vector<cfloat> history_;
    fftwf_complex* fftIn_ = nullptr;
    fftwf_complex* fftOut_ = nullptr;
    std::unique_ptr<fftwf_plan_s, FftwPlanDeleter> plan_;
};

}  // namespace

std::unique_ptr<IModulator> MakePskModulator(const ModemSettings& settings, PskKind kind, const TVaricode& alphabet) {
    return std::make_unique<TPskModulator>(settings, kind, alphabet);
}

std::unique_ptr<IDemodulator> MakePskDemodulator(const ModemSettings& settings, PskKind kind,
                                                 const TVaricode& alphabet) {
    return std::make_unique<TPskDemodulator>(settings, kind, alphabet);
}

}  // namespace quorvel::modem
