#include "Mfsk.h"
#include "MfskCodec.h"
#include "MfskShared.h"

#include <complex>
// liquid picks std::complex for its complex type when <complex> comes first.
#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quorvel::modem {
namespace {

using namespace mfsk;
using cfloat = std::complex<float>;

struct NcoFree {
    void operator()(nco_crcf q) const { nco_crcf_destroy(q); }
};
struct DecimatorFree {
    void operator()(firdecim_crcf q) const { firdecim_crcf_destroy(q); }
};
struct ResamplerFree {
    void operator()(resamp_crcf q) const { resamp_crcf_destroy(q); }
};
struct FftFree {
    void operator()(fftplan q) const { fft_destroy_plan(q); }
};

// The tone detector runs on complex baseband at 32 samples a symbol: a
// symbol-long window zero-padded to 64 puts the tones on every other bin and
// the bins between them tell how far off the tones are.
constexpr int kSamplesPerSymbol = 32;
constexpr int kFftSize = 64;
// Windows evaluated per symbol, for symbol timing.
constexpr int kPhases = 16;
constexpr int kSamplesPerPhase = kSamplesPerSymbol / kPhases;
// Soft decision per unit of amplitude difference over the noise amplitude.
constexpr double kSoftScale = 24.0;
// Decoded text shows only while the code fits the received bits this well.
constexpr double kSquelchMisfit = 0.12;
// ... and fits it this much better than the other pairing of the bits.
constexpr double kSquelchContrast = 0.7;
// Symbols the code must have fitted before text shows.
constexpr int kOpenSymbols = 6;
// Symbols of one unchanging tone that mark the preamble.
constexpr int kSteadySymbols = 8;

int Bin(int halfBins) { return ((halfBins % kFftSize) + kFftSize) % kFftSize; }
// Half-bin index of audio tone u (0 = lowest) relative to the carrier.
int ToneBin(int u) { return 2 * u - (kTones - 1); }

class MfskDemodulator final : public IDemodulator {
public:
    explicit MfskDemodulator(const ModemSettings& s)
        : settings_(CheckedSettings(s)),
          profile_(MfskProfileFor(s.baud)),
          basebandRate_(kSamplesPerSymbol * profile_.baud),
          nco_(nco_crcf_create(LIQUID_NCO)),
          decimation_(std::max(1, static_cast<int>(settings_.sampleRate / (2 * basebandRate_)))),
          decimator_(decimation_ >= 2 ? firdecim_crcf_create_kaiser(static_cast<unsigned>(decimation_), 8, 60.0f) : nullptr),
          resampler_(MakeResampler(basebandRate_ * decimation_ / settings_.sampleRate)),
          fftIn_(kFftSize),
          fftOut_(kFftSize),
          fft_(fft_create_plan(kFftSize, fftIn_.data(), fftOut_.data(), LIQUID_FFT_FORWARD, 0)),
          window_(kSamplesPerSymbol),
          deinterleaver_(profile_.interleaverDepth, true),
          carrierSet_(settings_.carrier) {
        timing_.fill(0);
        Retune();
    }

    void Process(std::span<const float> in) override {
        for (float sample : in) {
            // A non-finite sample would poison every average for good.
            const float x = std::isfinite(sample) ? sample : 0.0f;
            nco_crcf_mix_down(nco_.get(), cfloat(x, 0.0f), &mixed_[mixedCount_]);
            nco_crcf_step(nco_.get());
            if (++mixedCount_ < static_cast<std::size_t>(decimation_)) continue;
            mixedCount_ = 0;
            cfloat y = mixed_[0];
            if (decimator_) firdecim_crcf_execute(decimator_.get(), mixed_.data(), &y);
            std::array<cfloat, 8> out{};
            unsigned produced = 0;
            resamp_crcf_execute(resampler_.get(), y, out.data(), &produced);
            for (unsigned i = 0; i < produced && i < out.size(); ++i) Sample(out[i]);
        }
    }

    void SetCarrier(double hz) override {
        if (!std::isfinite(hz)) return;
        carrierSet_ = hz;
        offset_ = 0;
        Retune();
    }
    double Carrier() const override { return carrierSet_ + offset_; }

    void SetAfc(bool on, double widthHz, double levelDb) override {
        afcOn_ = on;
        afcWidth_ = std::isfinite(widthHz) ? std::max(0.0, widthHz) : 0.0;
        afcLevelDb_ = std::isfinite(levelDb) ? levelDb : 0.0;
        if (!afcOn_) offset_ = 0;
        offset_ = std::clamp(offset_, -afcWidth_, afcWidth_);
        Retune();
    }
    void SetAtc(bool on) override {
        atcOn_ = on;
        if (!on) rate_ = 0;
    }

    double SignalToNoise() const override {
        // Signal power against the noise in the 16 tone bins.
        if (!(noise_ > 0)) return signal_ > 0 ? kMaxSnrDb : kMinSnrDb;
        const double ratio = std::max(signal_, 0.0) / (kTones * noise_);
        if (!(ratio > 0)) return kMinSnrDb;
        return std::clamp(10 * std::log10(ratio), kMinSnrDb, kMaxSnrDb);
    }
    double ClockErrorPpm() const override { return atcOn_ ? -rate_ / kPhases * 1e6 : 0.0; }

private:
    static constexpr double kMinSnrDb = -30.0;
    static constexpr double kMaxSnrDb = 60.0;

    // The last, fractional step to 32 samples a symbol; the low-pass keeps
    // the tones and the AFC's reach and stops short of the new Nyquist.
    static resamp_crcf MakeResampler(double rate) {
        const double cutoff = 0.45 * std::min(rate, 1.0);
        return resamp_crcf_create(static_cast<float>(rate), 12, static_cast<float>(cutoff), 60.0f, 32);
    }

    void Retune() {
        nco_crcf_set_frequency(nco_.get(), static_cast<float>(2 * std::numbers::pi * Carrier() / settings_.sampleRate));
    }

    void Sample(cfloat z) {
        window_[windowPos_] = z;
        windowPos_ = (windowPos_ + 1) % kSamplesPerSymbol;
        if (++inPhase_ < kSamplesPerPhase) return;
        inPhase_ = 0;
        Phase();
    }

    // One window per phase; the phase whose windows hold the most energy in
    // their strongest tone is where the symbols end.
    void Phase() {
        for (int i = 0; i < kSamplesPerSymbol; ++i)
            fftIn_[static_cast<std::size_t>(i)] = window_[static_cast<std::size_t>((windowPos_ + i) % kSamplesPerSymbol)];
        std::fill(fftIn_.begin() + kSamplesPerSymbol, fftIn_.end(), cfloat{});
        fft_execute(fft_.get());
        for (int m = 0; m < kFftSize; ++m) power_[static_cast<std::size_t>(m)] = std::norm(fftOut_[static_cast<std::size_t>(m)]);

        double strongest = 0;
        for (int u = 0; u < kTones; ++u) strongest = std::max(strongest, power_[static_cast<std::size_t>(Bin(ToneBin(u)))]);
        auto& t = timing_[static_cast<std::size_t>(phase_ % kPhases)];
        t += (strongest - t) / 8.0;

        if (static_cast<double>(phase_) >= nextStrobe_) {
            Symbol();
            Retime();
        }
        ++phase_;
    }

    void Retime() {
        std::size_t best = 0;
        for (std::size_t p = 1; p < timing_.size(); ++p)
            if (timing_[p] > timing_[best]) best = p;
        const double ym = timing_[(best + kPhases - 1) % kPhases], y0 = timing_[best], yp = timing_[(best + 1) % kPhases];
        const double den = ym - 2 * y0 + yp;
        const double frac = den < 0 ? std::clamp(0.5 * (ym - yp) / den, -0.5, 0.5) : 0.0;
        // Measured against the scheduled instant, not the whole phase it fell
        // on, so the rounding does not bias the clock.
        double err = static_cast<double>(best) + frac - std::fmod(nextStrobe_, kPhases);
        while (err >= kPhases / 2.0) err -= kPhases;
        while (err < -kPhases / 2.0) err += kPhases;
        // A steady tone (preamble, flush) or noise makes every phase look
        // alike: then the clock runs on as it was.
        double mean = 0;
        for (double t : timing_) mean += t / kPhases;
        const bool informative = y0 > 1.05 * mean;
        if (informative) ++timed_;
        const double gain = !informative ? 0.0 : timed_ < 32 ? 0.5 : 0.15;
        // The clock is learnt only from a signal the decoder follows, after
        // the first pull-in, and from clear symbol edges.
        if (atcOn_ && y0 > 1.3 * mean && timed_ >= 32 && openFor_ > 0)
            rate_ = std::clamp(rate_ + 0.002 * err, -0.01 * kPhases, 0.01 * kPhases);
        nextStrobe_ += kPhases + gain * err + rate_;
    }

    void Symbol() {
        std::array<double, kTones> amp{};
        double total = 0, strongest = 0;
        int top = 0;
        for (int u = 0; u < kTones; ++u) {
            const double e = power_[static_cast<std::size_t>(Bin(ToneBin(u)))];
            total += e;
            amp[static_cast<std::size_t>(u)] = std::sqrt(e);
            if (e > strongest) {
                strongest = e;
                top = u;
            }
        }
        const double noiseNow = (total - strongest) / (kTones - 1);
        noise_ += (noiseNow - noise_) / 16.0;
        signal_ += (std::max(strongest - noise_, 0.0) - signal_) / 16.0;
        const bool strong = noise_ > 0 && strongest > 3 * noise_;
        const bool aboveLevel = noise_ > 0 && signal_ > noise_ * std::pow(10.0, afcLevelDb_ / 10);
        if (afcOn_ && afcWidth_ > 0 && aboveLevel) TrackFrequency(strong, top);

        // Soft bits: for each bit, the strongest tone that says 1 against
        // the strongest that says 0, in units of the noise amplitude.
        const double noiseAmp = std::sqrt(std::max(noise_, 1e-30));
        std::array<SoftBit, 4> soft{};
        for (int j = 0; j < 4; ++j) {
            const unsigned mask = 8u >> j;
            double one = 0, zero = 0;
            for (int u = 0; u < kTones; ++u) {
                const unsigned tone = settings_.sideband == Sideband::Upper ? static_cast<unsigned>(u)
                                                                             : static_cast<unsigned>(kTones - 1 - u);
                const double a = amp[static_cast<std::size_t>(u)];
                if (GrayDecode(tone) & mask) one = std::max(one, a);
                else zero = std::max(zero, a);
            }
            const double v = 128.0 + kSoftScale * (one - zero) / noiseAmp;
            soft[static_cast<std::size_t>(j)] = static_cast<SoftBit>(std::clamp(std::lround(v), 0L, 255L));
        }
        Decode(deinterleaver_.Push(soft));
    }

    void TrackFrequency(bool strong, int top) {
        const double below = std::sqrt(power_[static_cast<std::size_t>(Bin(ToneBin(top) - 1))]);
        const double above = std::sqrt(power_[static_cast<std::size_t>(Bin(ToneBin(top) + 1))]);
        if (strong && below + above > 0) {
            // For a rectangular window the ratio grows as twice the offset in bins.
            const double ratio = (above - below) / (above + below);
            offset_ = std::clamp(offset_ + 0.05 * 0.5 * ratio * profile_.toneSpacing, -afcWidth_, afcWidth_);
        }
        // A whole tone or more off: a steady tone held for several symbols is
        // the preamble (or the closing flush), and that is tone 0.
        std::size_t peak = 0;
        for (std::size_t m = 1; m < power_.size(); ++m)
            if (power_[m] > power_[peak]) peak = m;
        int peakBin = static_cast<int>(peak);
        if (peakBin >= kFftSize / 2) peakBin -= kFftSize;
        // The run holds while the peak stays within a half-bin of where it
        // began and well clear of the noise every time.
        const bool clear = power_[peak] > 5 * noise_;
        if (clear && steady_ > 0 && std::abs(peakBin - steadyBin_) <= 1) {
            ++steady_;
        } else {
            steady_ = clear ? 1 : 0;
            steadyBin_ = peakBin;
        }
        if (steady_ == kSteadySymbols && openFor_ == 0) {
            const double a = std::sqrt(power_[(peak + kFftSize - 1) % kFftSize]), b = std::sqrt(power_[peak]),
                         c = std::sqrt(power_[(peak + 1) % kFftSize]);
            const double den = a - 2 * b + c;
            const double at = peakBin + (den < 0 ? std::clamp(0.5 * (a - c) / den, -0.5, 0.5) : 0.0);
            const int toneZero = ToneBin(settings_.sideband == Sideband::Upper ? 0 : kTones - 1);
            const double errHz = (at - toneZero) * profile_.toneSpacing / 2;
            if (std::abs(errHz) > profile_.toneSpacing / 2) offset_ = std::clamp(offset_ + errHz, -afcWidth_, afcWidth_);
        }
        Retune();
    }

    void Decode(const std::array<SoftBit, 4>& s) {
        // The coded pairs may start at either bit of the symbol's two pairs;
        // two decoders try both and the better fitting one is read.
        std::array<std::optional<bool>, 2> a{decoders_[0].Push(s[0], s[1]), decoders_[0].Push(s[2], s[3])};
        std::array<std::optional<bool>, 2> b{decoders_[1].Push(pending_, s[0]), decoders_[1].Push(s[1], s[2])};
        pending_ = s[3];
        const std::size_t chosen = decoders_[0].Misfit() <= decoders_[1].Misfit() ? 0 : 1;
        // Text shows once the code has fitted for a while; while it does not,
        // the varicode readers start over, so nothing half-read leaks out.
        // Noise fits both pairings about equally; a signal fits one far better.
        const auto& dec = decoders_[chosen];
        const auto& other = decoders_[1 - chosen];
        const bool fits = dec.Misfit() < kSquelchMisfit && dec.Misfit() < kSquelchContrast * other.Misfit() &&
                          dec.RecentMisfit() < other.RecentMisfit();
        openFor_ = fits ? openFor_ + 1 : 0;
        const bool open = openFor_ >= kOpenSymbols;
        if (openFor_ == 0)
            for (auto& v : varicode_) v.Reset();
        const std::array<std::array<std::optional<bool>, 2>, 2> bits{a, b};
        for (std::size_t d = 0; d < 2; ++d) {
            for (const auto& bit : bits[d]) {
                if (!bit) continue;
                const auto c = varicode_[d].Push(*bit);
                if (c && *c != 0 && d == chosen && open) Decoded(*c);
            }
        }
    }

    ModemSettings settings_;
    MfskProfile profile_;
    double basebandRate_;
    std::unique_ptr<std::remove_pointer_t<nco_crcf>, NcoFree> nco_;
    int decimation_;
    std::unique_ptr<std::remove_pointer_t<firdecim_crcf>, DecimatorFree> decimator_;
    std::unique_ptr<std::remove_pointer_t<resamp_crcf>, ResamplerFree> resampler_;
    std::vector<cfloat> mixed_ = std::vector<cfloat>(static_cast<std::size_t>(decimation_));
    std::size_t mixedCount_ = 0;
    std::vector<cfloat> fftIn_, fftOut_;
    std::unique_ptr<std::remove_pointer_t<fftplan>, FftFree> fft_;
    std::vector<cfloat> window_;
    std::size_t windowPos_ = 0;
    int inPhase_ = 0;
    std::array<double, kFftSize> power_{};
    std::array<double, kPhases> timing_{};
    std::uint64_t phase_ = 0;
    double nextStrobe_ = kPhases;
    double rate_ = 0;
    std::uint64_t timed_ = 0;
    int steady_ = 0;
    int openFor_ = 0;
    int steadyBin_ = 0;
    double noise_ = 0, signal_ = 0;
    DiagonalInterleaver<SoftBit> deinterleaver_;
    std::array<ViterbiDecoder, 2> decoders_;
    std::array<VaricodeDecoder, 2> varicode_;
    SoftBit pending_ = kSoftErasure;
    double carrierSet_;
    double offset_ = 0;
    bool afcOn_ = false;
    double afcWidth_ = 0;
    double afcLevelDb_ = 0;
    bool atcOn_ = false;
};

}  // namespace

std::unique_ptr<IDemodulator> MakeMfskDemodulator(const ModemSettings& settings) {
    return std::make_unique<MfskDemodulator>(settings);
}

}  // namespace quorvel::modem
