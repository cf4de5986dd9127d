#pragma once
// Varicode: the PSK31 alphabet. Words start and end with a 1 and never hold
// two 0s in a row, so "00" separates characters.
//
// Standard(): the standard table, codes 0-127 only; other codes have no word.
// Extended(): this engine's alphabet for the whole 8-bit code page ("BPSK",
// "FSK", "FSK-W", "GMSK"): the standard words for 0-127, and for the upper
// half (128-255, Cyrillic in Windows-1251) the next words of the same family
// in order: first the 15 unused words of up to 10 bits, shortest and
// smallest first, then 11- and 12-bit words.
#include <array>
#include <cstdint>

namespace quorvel::modem {

class TVaricode {
public:
    // A word: its bits, most significant first, value including the leading 1.
    struct Word {
        std::uint16_t bits = 0;
        std::uint8_t length = 0;
    };

    static const TVaricode& Standard();
    static const TVaricode& Extended();

    // A word of length 0: the code has none in this alphabet.
    Word Encode(std::uint8_t code) const { return words_[code]; }
    // -1 when bits are no word of the alphabet.
    int Decode(std::uint32_t bits) const { return bits < decode_.size() ? decode_[bits] : -1; }

    static constexpr unsigned kMaxLength = 12;

private:
    explicit TVaricode(bool extended);
    std::array<Word, 256> words_{};
    std::array<std::int16_t, 1u << kMaxLength> decode_{};
};

// Turns a bit stream back into characters: a character ends at "00".
class TVaricodeDecoder {
public:
    explicit TVaricodeDecoder(const TVaricode& code) : code_(&code) {}
    // Returns the character a 0 bit completed, or -1.
    int Bit(bool one);
    // Forgets the word in progress; the next word counts only after a
    // separator, so a signal picked up mid-word prints nothing of it.
    void Reset() {
        word_ = 0;
        overflow_ = false;
        synced_ = false;
    }

private:
    const TVaricode* code_;
    std::uint32_t word_ = 0;
    bool overflow_ = false;
    bool synced_ = true;
};

}  // namespace quorvel::modem
