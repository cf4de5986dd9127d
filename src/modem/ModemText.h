#pragma once
// Texts of the modem readouts. The system's decimal separator is passed in
// (TApplication::DecimalSeparator): the speed list is written with "." in
// every locale, while the timing readout follows the locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The framework's general number format: at most 15 significant digits, no
// trailing zeros, fixed notation from 0.00001 up to 15 integer digits and
// "1.5E-6" / "1E15" outside that; "NAN", "INF", "-INF".
std::string GeneralDecimalText(double value, char decimalSeparator);

// A speed reported by the engine as the speed list writes it ("31.25").
std::string SpeedText(double baud, char decimalSeparator);

// The value of a speed item ("31.25"), read the way the framework reads a
// number in the system's locale after "." is replaced by its separator.
// Nothing for an empty or unreadable text.
std::optional<double> ParseSpeedText(std::string_view item, char decimalSeparator);

// The timing readout: hundredths of a millisecond as "12.34ms" when wUnit is
// non-zero, parts per million as "1234ppm" otherwise.
std::string TimingText(std::int32_t dwTiming, std::int16_t wUnit, char decimalSeparator);

// The signal-to-noise readout, "S/N=12dB" (halves to even).
std::string SignalToNoiseText(double db);

// The frequency the signal is on: the dial plus the audio carrier on upper
// sideband, minus it on lower. Kept within the 32-bit range.
std::int32_t SignalFrequency(std::int32_t dialHz, std::int32_t carrierHz, bool upperSideband);

}  // namespace quorvel
