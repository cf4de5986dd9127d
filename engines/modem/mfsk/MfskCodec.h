#pragma once
// The coding layers of MFSK16 and its relatives, below the tones: the IZ8BLY
// varicode, the NASA K=7 rate-1/2 convolutional code with a soft-decision
// Viterbi decoder, and the IZ8BLY diagonal bit interleaver.
#include "modem/Modem.h"

#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <vector>

namespace quorvel::modem::mfsk {

// A character's varicode, first bit in the most significant used position.
// Every code starts with 1, ends with "00" and holds no "001", so a receiver
// finds the end of a character at the 1 that begins the next one.
struct VaricodeWord {
    std::uint16_t bits = 0;
    std::uint8_t length = 0;
};

VaricodeWord Varicode(std::uint8_t code);

// Bit-serial varicode reader; Push returns a character as soon as the first
// bit of the next one shows where it ended.
class VaricodeDecoder {
public:
    std::optional<std::uint8_t> Push(bool bit);
    void Reset() { reg_ = 0; overflow_ = false; }

private:
    std::uint32_t reg_ = 0;
    bool overflow_ = false;
};

// K=7, rate 1/2; the first output comes from 0x6d, the second from 0x4f, with
// the newest bit in the lowest position of the register.
class ConvolutionalEncoder {
public:
    // Returns the two coded bits, first output in bit 1.
    unsigned Push(bool bit);
    void Reset() { reg_ = 0; }

private:
    unsigned reg_ = 0;
};

// Streaming soft-decision Viterbi decoder for the code above. Each Push takes
// the soft decisions of one coded pair and, once the trellis is deep enough,
// returns the data bit decided kDepth pairs earlier.
class ViterbiDecoder {
public:
    static constexpr int kDepth = 40;
    static constexpr double kMinConfidence = 16.0;

    ViterbiDecoder() { Reset(); }
    std::optional<bool> Push(SoftBit first, SoftBit second);
    void Reset();

    // How badly the received pairs fit the code lately: 0 for a clean coded
    // stream, towards 1 for noise or a stream that is not this code.
    // Pairs that carry next to nothing (erasures, silence) count as a misfit.
    double Misfit() const { return confidence_ > kMinConfidence ? excess_ / confidence_ : 1.0; }
    // The same over the last few pairs only, to notice a signal's end.
    double RecentMisfit() const { return recentConfidence_ > kMinConfidence ? recentExcess_ / recentConfidence_ : 1.0; }

private:
    std::array<std::uint32_t, 64> metric_{};
    std::array<std::uint64_t, 64> path_{};
    int filled_ = 0;
    double excess_ = 0;
    double confidence_ = 0;
    double recentExcess_ = 0;
    double recentConfidence_ = 0;
};

// The IZ8BLY diagonal interleaver: `depth` concatenated 4x4 stages, which come
// to delaying the bit in position j of a symbol (0 = the first, most
// significant) by depth * j symbols. The de-interleaver delays it by
// depth * (3 - j), so every bit leaves both after depth * 3 symbols.
template <typename Bit>
class DiagonalInterleaver {
public:
    DiagonalInterleaver(int depth, bool deinterleave) {
        for (int j = 0; j < 4; ++j) {
            const int delay = depth * (deinterleave ? 3 - j : j);
            lines_[static_cast<std::size_t>(j)].assign(static_cast<std::size_t>(delay) + 1, fill());
        }
    }

    // Takes one symbol's bits in order and returns the bits leaving now.
    std::array<Bit, 4> Push(const std::array<Bit, 4>& in) {
        std::array<Bit, 4> out{};
        for (std::size_t j = 0; j < 4; ++j) {
            auto& line = lines_[j];
            const std::size_t n = line.size();
            line[pos_ % n] = in[j];
            out[j] = line[(pos_ + 1) % n];
        }
        ++pos_;
        return out;
    }

private:
    static Bit fill() {
        if constexpr (std::is_same_v<Bit, SoftBit>) return kSoftErasure;
        else return Bit{};
    }
    std::array<std::vector<Bit>, 4> lines_;
    std::size_t pos_ = 0;
};

constexpr unsigned GrayEncode(unsigned v) { return v ^ (v >> 1); }
constexpr unsigned GrayDecode(unsigned g) {
    g ^= g >> 1;
    g ^= g >> 2;
    return g & 0xF;
}

}  // namespace quorvel::modem::mfsk
