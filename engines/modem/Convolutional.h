#pragma once
// Rate-1/2 convolutional code and its soft-decision Viterbi decoder, for any
// constraint length up to 7 (QPSK uses K=5, polynomials 0x17 and 0x19; the
// newest bit is the register's lowest).
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace quorvel::modem {

class TConvolutionalEncoder {
public:
    TConvolutionalEncoder(unsigned k, unsigned poly0, unsigned poly1) : mask_((1u << k) - 1), poly0_(poly0), poly1_(poly1) {}
    // The two code bits for one data bit, first bit in bit 1.
    unsigned Encode(bool bit) {
        reg_ = ((reg_ << 1) | (bit ? 1u : 0u)) & mask_;
        return Output(reg_, poly0_, poly1_);
    }
    static unsigned Output(unsigned reg, unsigned poly0, unsigned poly1) {
        return (static_cast<unsigned>(std::popcount(reg & poly0) & 1) << 1) | (std::popcount(reg & poly1) & 1);
    }
    void Reset() { reg_ = 0; }

private:
    unsigned mask_, poly0_, poly1_;
    unsigned reg_ = 0;
};

class TViterbiDecoder {
public:
    // depth: bits held back before deciding (at most 63).
    TViterbiDecoder(unsigned k, unsigned poly0, unsigned poly1, unsigned depth = 40);
    // metrics[c]: how well the received symbol matches code bits c (0-3),
    // larger is better. Returns the decided bit that left the window, or -1
    // while the window fills.
    int Step(const std::array<float, 4>& metrics);
    void Reset();

private:
    unsigned states_;
    unsigned depth_;
    std::vector<std::uint8_t> output_;  // code bits of each (state, input)
    std::vector<float> metric_, next_;
    std::vector<std::uint64_t> history_, nextHistory_;
    unsigned filled_ = 0;
};

}  // namespace quorvel::modem
