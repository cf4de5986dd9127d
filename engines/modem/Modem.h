#pragma once
// One mode's modulator and demodulator, as the modem engine drives them.
//
// Everything works on mono float blocks at the engine's sample rate (the
// calibrated sound-card clock, 10925 to 11100 Hz, nominally 11025), full scale
// +-1. A modem never sees the sound card, the filters of the engine or its
// other channels: the engine band-limits and mixes the audio around it.
//
// Characters are the 8-bit codes of the code page (Windows-1251), both ways.
//
// A mode lives in its own folder below engines/modem/ (psk/, rtty/, mfsk/, ...)
// and offers two factory functions, named after the mode, for example
//
//   std::unique_ptr<IModulator>   MakeMfskModulator(const ModemSettings&);
//   std::unique_ptr<IDemodulator> MakeMfskDemodulator(const ModemSettings&);
//
// which the engine calls when a channel's mode, speed or sideband changes (a
// modem is rebuilt rather than retuned for those) and on every transmission.
// Carrier, AFC and ATC change on the running object.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace quorvel::modem {

constexpr double kNominalSampleRate = 11025.0;

enum class Sideband : std::uint8_t {
    Upper,  // higher audio frequency = higher RF frequency (USB, "-U" modes)
    Lower,  // inverted: mark/space, tone order and phase sense swap ("-L" modes)
};

struct ModemSettings {
    double sampleRate = kNominalSampleRate;  // Hz, the engine's rate
    double carrier = 1500.0;                 // Hz: the centre of the signal in the audio
    double baud = 31.25;                     // symbols per second as the speed list gives it
    Sideband sideband = Sideband::Upper;
};

// Soft decisions for decoders that want them: 0 a certain 0 bit, 255 a certain
// 1, 128 nothing known (an erasure).
using SoftBit = std::uint8_t;
constexpr SoftBit kSoftErasure = 128;

class IModulator {
public:
    virtual ~IModulator() = default;

    // Queues one character. The modulator owns the queue; it is never dropped.
    virtual void PutChar(std::uint8_t code) = 0;
    // Characters queued and not yet begun.
    virtual std::size_t Pending() const = 0;
    // Asks for a clean end: the queue is sent, then the mode's postamble,
    // after which Generate returns less than asked for and Finished() is true.
    virtual void Finish() = 0;
    virtual bool Finished() const = 0;

    // Fills out with the next samples, unit peak; returns how many were
    // written (all of them until the transmission has finished). With an empty
    // queue the mode's idle signal is sent. Every character whose first
    // symbol goes out in this block is reported through the started callback,
    // in order, before Generate returns: that is the transmit echo.
    virtual std::size_t Generate(std::span<float> out) = 0;

    // Takes effect at the next symbol boundary, phase-continuous.
    virtual void SetCarrier(double hz) = 0;

    void OnCharStarted(std::function<void(std::uint8_t)> started) { started_ = std::move(started); }

protected:
    void CharStarted(std::uint8_t code) const {
        if (started_) started_(code);
    }

private:
    std::function<void(std::uint8_t)> started_;
};

class IDemodulator {
public:
    virtual ~IDemodulator() = default;

    // Feeds received audio; decoded characters are reported through the
    // decoded callback from within this call, in order.
    virtual void Process(std::span<const float> in) = 0;

    // The carrier the demodulator is tuned to; with AFC on it follows the
    // station, and Carrier() reports where it is now.
    virtual void SetCarrier(double hz) = 0;
    virtual double Carrier() const = 0;

    // AFC: pull the carrier at most widthHz away from where it was set, and
    // only while the signal is at least levelDb above the noise.
    virtual void SetAfc(bool on, double widthHz, double levelDb) = 0;
    // ATC: follow the sender's symbol clock (sound-card clock offsets).
    virtual void SetAtc(bool on) = 0;

    // Signal to noise in the mode's own bandwidth, dB; a quiet channel gives a
    // low value, never NaN.
    virtual double SignalToNoise() const = 0;
    // The symbol clock against the nominal rate, parts per million (positive:
    // the sender is fast); 0 where the mode does not track it.
    virtual double ClockErrorPpm() const = 0;

    void OnDecoded(std::function<void(std::uint8_t)> decoded) { decoded_ = std::move(decoded); }

protected:
    void Decoded(std::uint8_t code) const {
        if (decoded_) decoded_(code);
    }

private:
    std::function<void(std::uint8_t)> decoded_;
};

}  // namespace quorvel::modem
