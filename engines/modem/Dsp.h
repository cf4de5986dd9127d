#pragma once
// Small signal-processing helpers shared by the modes: owning handles for the
// liquid-dsp objects the modems use, and the few loops liquid has no block for.
#include <complex>
// liquid's C header takes std::complex<float> for its complex type once
// <complex> is in.
#include <liquid/liquid.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace quorvel::modem {

using cfloat = std::complex<float>;

template <typename T, int (*Destroy)(T)>
struct LiquidDeleter {
    void operator()(T p) const noexcept { Destroy(p); }
};
template <typename S, int (*Destroy)(S*)>
using LiquidHandle = std::unique_ptr<S, LiquidDeleter<S*, Destroy>>;

using NcoHandle = LiquidHandle<nco_crcf_s, nco_crcf_destroy>;
using DecimHandle = LiquidHandle<firdecim_crcf_s, firdecim_crcf_destroy>;
using FirHandle = LiquidHandle<firfilt_crcf_s, firfilt_crcf_destroy>;
using RealFirHandle = LiquidHandle<firfilt_rrrf_s, firfilt_rrrf_destroy>;
using IirHandle = LiquidHandle<iirfilt_rrrf_s, iirfilt_rrrf_destroy>;

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

// Brings a signal at carrier Hz down to complex baseband and decimates it by
// a whole factor, so that the symbol-rate work runs at a few samples a
// symbol whatever the speed.
class TDownconverter {
public:
    // cutoffHz: one-sided pass band kept around the carrier.
    TDownconverter(double sampleRate, double carrier, unsigned decimation, double cutoffHz)
        : rate_(sampleRate), decimation_(decimation == 0 ? 1 : decimation), nco_(nco_crcf_create(LIQUID_NCO)) {
        const unsigned m = 6;
        const unsigned len = 2 * m * decimation_ + 1;
        std::vector<float> taps(len);
        const float fc = static_cast<float>(std::min(0.45, cutoffHz / sampleRate));
        liquid_firdes_kaiser(len, fc, 60.0f, 0.0f, taps.data());
        float gain = 0;
        for (float t : taps) gain += t;
        for (float& t : taps) t /= gain;
        decim_.reset(firdecim_crcf_create(decimation_, taps.data(), len));
        SetCarrier(carrier);
    }
    void SetCarrier(double hz) {
        carrier_ = hz;
        nco_crcf_set_frequency(nco_.get(), static_cast<float>(kTwoPi * hz / rate_));
    }
    double Carrier() const { return carrier_; }
    unsigned Decimation() const { return decimation_; }
    double OutputRate() const { return rate_ / decimation_; }

    // Calls out(z) for every decimated sample.
    template <typename Out>
    void Process(const float* in, std::size_t n, Out&& out) {
        for (std::size_t i = 0; i < n; ++i) {
            cfloat y;
            nco_crcf_mix_down(nco_.get(), cfloat(in[i], 0.0f), &y);
            nco_crcf_step(nco_.get());
            block_[fill_++] = y;
            if (fill_ == decimation_) {
                fill_ = 0;
                cfloat z;
                firdecim_crcf_execute(decim_.get(), block_.data(), &z);
                out(z);
            }
        }
    }

private:
    double rate_;
    unsigned decimation_;
    double carrier_ = 0;
    NcoHandle nco_;
    DecimHandle decim_;
    std::vector<cfloat> block_ = std::vector<cfloat>(decimation_);
    unsigned fill_ = 0;
};

// First-order smoothing.
class TAverage {
public:
    explicit TAverage(double alpha = 0.1, double start = 0) : alpha_(alpha), value_(start) {}
    double Add(double x) { return value_ += alpha_ * (x - value_); }
    double Value() const { return value_; }
    void Reset(double v) { value_ = v; }

private:
    double alpha_, value_;
};

// NaN reads as the floor, so a poisoned buffer cannot reach an integer cast.
inline double ToDb(double ratio) { return 10.0 * std::log10(ratio > 1e-6 ? ratio : 1e-6); }

}  // namespace quorvel::modem
