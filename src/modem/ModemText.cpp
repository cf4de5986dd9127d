#include "modem/ModemText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "base/Round.h"

namespace quorvel {
namespace {

constexpr int kPrecision = 15;

// Locale-independent on purpose: the host may have switched the C locale.
std::string IntegerText(long long value) {
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

}  // namespace

std::string GeneralDecimalText(double value, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0.0) return "0";

    // 15 significant digits and the decimal exponent of the rounded value.
    char buffer[40];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, kPrecision - 1);
    if (ec != std::errc()) return "0";
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.') digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int exponent = 0;
    const std::string_view expText = text.substr(e + 1);
    const char* expBegin = expText.data() + (expText.front() == '+' ? 1 : 0);
    std::from_chars(expBegin, expText.data() + expText.size(), exponent);

    std::string out = value < 0 ? "-" : "";
    if (exponent >= kPrecision || exponent < -5) {
        out += digits.front();
        if (digits.size() > 1) {
            out += decimalSeparator;
            out.append(digits, 1);
        }
        out += 'E';
        out += IntegerText(exponent);
    } else if (exponent >= 0) {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits;
            out.append(whole - digits.size(), '0');
        } else {
            out.append(digits, 0, whole);
            out += decimalSeparator;
            out.append(digits, whole);
        }
    } else {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

std::string SpeedText(double baud, char decimalSeparator) {
    std::string text = GeneralDecimalText(baud, decimalSeparator);
    std::replace(text.begin(), text.end(), decimalSeparator, '.');
    return text;
}

std::optional<double> ParseSpeedText(std::string_view item, char decimalSeparator) {
    std::string text(item);
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    // Read in the system's locale: its separator is the decimal point, and
    // any other punctuation makes the text unreadable.
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const auto last = text.find_last_not_of(' ');
    std::string number = text.substr(first, last - first + 1);
    if (decimalSeparator != '.') {
        if (number.find('.') != std::string::npos) return std::nullopt;
        std::replace(number.begin(), number.end(), decimalSeparator, '.');
    }
    const char* b = number.data();
    const char* e = b + number.size();
    if (*b == '+') ++b;
    double value = 0;
    const auto [p, ec] = std::from_chars(b, e, value);
    if (ec != std::errc() || p != e || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string TimingText(std::int32_t dwTiming, std::int16_t wUnit, char decimalSeparator) {
    if (wUnit != 0) return GeneralDecimalText(dwTiming * 0.01, decimalSeparator) + "ms";
    return IntegerText(dwTiming) + "ppm";
}

std::string SignalToNoiseText(double db) {
    constexpr double limit = std::numeric_limits<std::int32_t>::max();
    const double bounded = std::isfinite(db) ? std::clamp(db, -limit, limit) : 0.0;
    return "S/N=" + IntegerText(Round(bounded)) + "dB";
}

std::int32_t SignalFrequency(std::int32_t dialHz, std::int32_t carrierHz, bool upperSideband) {
    const std::int64_t f = upperSideband ? std::int64_t{dialHz} + carrierHz : std::int64_t{dialHz} - carrierHz;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(f, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace quorvel
