#pragma once
// Two small texts the whole system shows: a frequency in the dotted form of
// the host (14.070.000) and a text cut down to fit a hint or a caption.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// Hz as text: "" for 0, "0.136000" below 1 MHz (always six places: 1500 Hz
// is "0.001500"), "14.070.000" from 1 MHz up.
// A negative value gets a leading minus on the form of its magnitude.
std::string FrequencyText(std::int32_t hz);

// text itself when it has at most maxLength characters, else its first
// maxLength - 3 characters and "...".
std::string ShortenedText(std::string_view text, std::size_t maxLength);

}  // namespace quorvel
