#include "Varicode.h"

#include <string_view>

namespace quorvel::modem {
namespace {

// The standard alphabet, codes 0 to 127.
constexpr std::string_view kStandard[128] = {
    "1010101011", "1011011011", "1011101101", "1101110111", "1011101011", "1101011111", "1011101111", "1011111101",
    "1011111111", "11101111",   "11101",      "1101101111", "1011011101", "11111",      "1101110101", "1110101011",
    "1011110111", "1011110101", "1110101101", "1110101111", "1101011011", "1101101011", "1101101101", "1101010111",
    "1101111011", "1101111101", "1110110111", "1101010101", "1101011101", "1110111011", "1011111011", "1101111111",
    "1",          "111111111",  "101011111",  "111110101",  "111011011",  "1011010101", "1010111011", "101111111",
    "11111011",   "11110111",   "101101111",  "111011111",  "1110101",    "110101",     "1010111",    "110101111",
    "10110111",   "10111101",   "11101101",   "11111111",   "101110111",  "101011011",  "101101011",  "110101101",
    "110101011",  "110110111",  "11110101",   "110111101",  "111101101",  "1010101",    "111010111",  "1010101111",
    "1010111101", "1111101",    "11101011",   "10101101",   "10110101",   "1110111",    "11011011",   "11111101",
    "101010101",  "1111111",    "111111101",  "101111101",  "11010111",   "10111011",   "11011101",   "10101011",
    "11010101",   "111011101",  "10101111",   "1101111",    "1101101",    "101010111",  "110110101",  "101011101",
    "101110101",  "101111011",  "1010101101", "111110111",  "111101111",  "111111011",  "1010111111", "101101101",
    "1011011111", "1011",       "1011111",    "101111",     "101101",     "11",         "111101",     "1011011",
    "101011",     "1101",       "111101011",  "10111111",   "11011",      "111011",     "1111",       "111",
    "111111",     "110111111",  "10101",      "10111",      "101",        "110111",     "1111011",    "1101011",
    "11011111",   "1011101",    "111010101",  "1010110111", "110111011",  "1010110101", "1011010111", "1110110101",
};

constexpr std::uint16_t ToBits(std::string_view s) {
    std::uint16_t v = 0;
    for (char c : s) v = static_cast<std::uint16_t>((v << 1) | (c == '1' ? 1 : 0));
    return v;
}

bool IsWord(unsigned v, unsigned length) {
    if ((v & 1u) == 0 || (v >> (length - 1)) != 1u) return false;
    for (unsigned i = 0; i + 1 < length; ++i)
        if (((v >> i) & 3u) == 0) return false;
    return true;
}

}  // namespace

TVaricode::TVaricode(bool extended) {
    std::array<Word, 256> standard{};
    std::array<bool, 1u << kMaxLength> used{};
    for (unsigned c = 0; c < 128; ++c) {
        standard[c] = {ToBits(kStandard[c]), static_cast<std::uint8_t>(kStandard[c].size())};
        used[standard[c].bits] = true;
    }
    unsigned next = 128;
    for (unsigned length = 1; length <= kMaxLength && next < 256; ++length)
        for (unsigned v = 1u << (length - 1); v < (1u << length) && next < 256; ++v)
            if (IsWord(v, length) && !used[v]) standard[next++] = {static_cast<std::uint16_t>(v), static_cast<std::uint8_t>(length)};
    decode_.fill(-1);
    for (unsigned c = 0; c < (extended ? 256u : 128u); ++c) {
        words_[c] = standard[c];
        decode_[words_[c].bits] = static_cast<std::int16_t>(c);
    }
}

const TVaricode& TVaricode::Standard() {
    static const TVaricode code(false);
    return code;
}

const TVaricode& TVaricode::Extended() {
    static const TVaricode code(true);
    return code;
}

int TVaricodeDecoder::Bit(bool one) {
    // A word too long for the alphabet (noise) is dropped whole at the next
    // separator; the register never grows.
    if (word_ >= (1u << (TVaricode::kMaxLength + 2))) overflow_ = true;
    word_ = ((word_ << 1) | (one ? 1u : 0u)) & ((1u << (TVaricode::kMaxLength + 3)) - 1);
    if (!one && (word_ & 2u) == 0) {
        const std::uint32_t word = word_ >> 2;
        const bool overflow = overflow_ || !synced_;
        word_ = 0;
        overflow_ = false;
        synced_ = true;
        if (word != 0 && !overflow) return code_->Decode(word);
    }
    return -1;
}

}  // namespace quorvel::modem
