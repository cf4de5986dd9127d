// The MFSK coding layers on their own: the varicode as the standard assigns
// it, the K=7 code through the Viterbi decoder, and the diagonal interleaver
// that turns a burst of bad tones into errors the decoder can take.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "modem/mfsk/MfskCodec.h"

namespace quorvel::modem::mfsk {
namespace {

std::string Bits(VaricodeWord w) {
    std::string s;
    for (int i = w.length - 1; i >= 0; --i) s.push_back(((w.bits >> i) & 1u) ? '1' : '0');
    return s;
}

TEST(MfskVaricodeTest, CodesAreTheStandardOnes) {
    EXPECT_EQ(Bits(Varicode(' ')), "100");
    EXPECT_EQ(Bits(Varicode('e')), "1000");
    EXPECT_EQ(Bits(Varicode('t')), "1100");
    EXPECT_EQ(Bits(Varicode('z')), "1111100");
    EXPECT_EQ(Bits(Varicode(',')), "10100000");
    EXPECT_EQ(Bits(Varicode('\b')), "10101000");
    EXPECT_EQ(Bits(Varicode('\r')), "10101100");
    EXPECT_EQ(Bits(Varicode('A')), "10111100");
    EXPECT_EQ(Bits(Varicode('0')), "11100000");
    EXPECT_EQ(Bits(Varicode(0)), "11101011100");
    EXPECT_EQ(Bits(Varicode(0xE0)), "10111101000");
    EXPECT_EQ(Bits(Varicode(0xFF)), "11101011000");
    EXPECT_EQ(Bits(Varicode(0x9F)), "101101111100");
}

TEST(MfskVaricodeTest, EveryByteReadsBackFromAContinuousStream) {
    std::vector<bool> stream;
    for (int c = 0; c < 256; ++c) {
        const std::string b = Bits(Varicode(static_cast<std::uint8_t>(c)));
        ASSERT_EQ(b.front(), '1');
        ASSERT_EQ(b.substr(b.size() - 2), "00");
        ASSERT_EQ(b.find("001"), std::string::npos) << c;
        for (char ch : b) stream.push_back(ch == '1');
    }
    for (char ch : Bits(Varicode(' '))) stream.push_back(ch == '1');  // ends the last one

    VaricodeDecoder dec;
    std::vector<int> got;
    for (bool bit : stream)
        if (auto c = dec.Push(bit)) got.push_back(*c);
    ASSERT_EQ(got.size(), 256u);
    for (int c = 0; c < 256; ++c) EXPECT_EQ(got[static_cast<std::size_t>(c)], c);
}

TEST(MfskVaricodeTest, GarbageNeverYieldsAnOverlongCharacter) {
    VaricodeDecoder dec;
    for (int i = 0; i < 40; ++i) EXPECT_FALSE(dec.Push(i % 3 != 2));  // no "001" yet
    // A run of twenty bits with no boundary is no character, whatever follows.
    for (int i = 0; i < 20; ++i) dec.Push(true);
    for (bool b : {false, false}) dec.Push(b);
    EXPECT_FALSE(dec.Push(true));
    for (bool b : {true, false, false}) dec.Push(b);  // "1100" = t
    EXPECT_EQ(dec.Push(true), std::optional<std::uint8_t>('t'));
}

std::vector<bool> RandomBits(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<bool> bits(n);
    for (std::size_t i = 0; i < n; ++i) bits[i] = (rng() & 1u) != 0;
    return bits;
}

// Runs data (plus a zero tail) through the code and returns the decoded bits
// aligned with the data; `channel` may spoil the coded pairs.
template <typename Channel>
std::vector<bool> CodeAndDecode(const std::vector<bool>& data, Channel channel) {
    ConvolutionalEncoder enc;
    ViterbiDecoder dec;
    std::vector<bool> out;
    std::size_t n = 0;
    for (std::size_t i = 0; i < data.size() + ViterbiDecoder::kDepth; ++i) {
        const unsigned pair = enc.Push(i < data.size() && data[i]);
        SoftBit a = (pair & 2u) ? 255 : 0, b = (pair & 1u) ? 255 : 0;
        channel(n, a);
        channel(n + 1, b);
        n += 2;
        if (auto bit = dec.Push(a, b)) out.push_back(*bit);
    }
    out.resize(data.size());
    return out;
}

TEST(MfskViterbiTest, CleanStreamDecodesAndFitsTheCode) {
    const auto data = RandomBits(2000, 1);
    EXPECT_EQ(CodeAndDecode(data, [](std::size_t, SoftBit&) {}), data);
}

TEST(MfskViterbiTest, CorrectsScatteredErrorsAndErasures) {
    const auto data = RandomBits(4000, 2);
    // One coded bit in 16 flipped outright.
    EXPECT_EQ(CodeAndDecode(data, [](std::size_t i, SoftBit& s) { if (i % 16 == 5) s = 255 - s; }), data);
    // Every fourth coded bit lost.
    EXPECT_EQ(CodeAndDecode(data, [](std::size_t i, SoftBit& s) { if (i % 4 == 3) s = kSoftErasure; }), data);
    // Weak but right soft decisions are as good as firm ones.
    EXPECT_EQ(CodeAndDecode(data, [](std::size_t, SoftBit& s) { s = s ? 150 : 106; }), data);
}

TEST(MfskViterbiTest, MisfitTellsTheCodeFromNoise) {
    ViterbiDecoder coded, noise;
    ConvolutionalEncoder enc;
    std::mt19937 rng(3);
    for (int i = 0; i < 400; ++i) {
        const unsigned pair = enc.Push((rng() & 1u) != 0);
        coded.Push((pair & 2u) ? 230 : 25, (pair & 1u) ? 230 : 25);
        noise.Push(static_cast<SoftBit>(rng() & 0xFF), static_cast<SoftBit>(rng() & 0xFF));
    }
    EXPECT_LT(coded.Misfit(), 0.02);
    EXPECT_GT(noise.Misfit(), 0.1);
    ViterbiDecoder silent;
    for (int i = 0; i < 100; ++i) silent.Push(kSoftErasure, kSoftErasure);
    EXPECT_EQ(silent.Misfit(), 1.0);
}

TEST(MfskInterleaverTest, BitInPositionJIsDelayedDepthTimesJSymbols) {
    constexpr int depth = 10;
    for (std::size_t j = 0; j < 4; ++j) {
        DiagonalInterleaver<bool> il(depth, false);
        std::array<bool, 4> mark{};
        mark[j] = true;
        int seenAt = -1;
        for (int t = 0; t < 4 * depth; ++t) {
            const auto out = il.Push(t == 0 ? mark : std::array<bool, 4>{});
            for (std::size_t k = 0; k < 4; ++k)
                if (out[k]) {
                    EXPECT_EQ(k, j);
                    seenAt = t;
                }
        }
        EXPECT_EQ(seenAt, depth * static_cast<int>(j));
    }
}

// Coded data through interleaver, a burst of wrong tones, de-interleaver and
// decoder; returns how many data bits came out wrong.
int BurstErrors(bool interleave, int burstStart, int burstSymbols, bool erase = false) {
    constexpr int depth = 10;
    const auto data = RandomBits(1200, 4);
    ConvolutionalEncoder enc;
    DiagonalInterleaver<SoftBit> tx(depth, false), rx(depth, true);
    ViterbiDecoder dec;
    std::vector<bool> out;
    const int symbols = static_cast<int>(data.size()) / 2 + 3 * depth + ViterbiDecoder::kDepth;
    for (int s = 0; s < symbols; ++s) {
        std::array<SoftBit, 4> coded{};
        for (int i = 0; i < 2; ++i) {
            const std::size_t k = static_cast<std::size_t>(2 * s + i);
            const unsigned pair = enc.Push(k < data.size() && data[k]);
            coded[static_cast<std::size_t>(2 * i)] = (pair & 2u) ? 255 : 0;
            coded[static_cast<std::size_t>(2 * i + 1)] = (pair & 1u) ? 255 : 0;
        }
        auto sent = interleave ? tx.Push(coded) : coded;
        if (s >= burstStart && s < burstStart + burstSymbols)
            for (auto& b : sent) b = erase ? kSoftErasure : 255 - b;  // lost, or every bit wrong
        const auto got = interleave ? rx.Push(sent) : sent;
        if (interleave && s < 3 * depth) continue;  // still filling
        for (int i = 0; i < 2; ++i)
            if (auto bit = dec.Push(got[static_cast<std::size_t>(2 * i)], got[static_cast<std::size_t>(2 * i + 1)]))
                out.push_back(*bit);
    }
    int wrong = 0;
    for (std::size_t i = 0; i < data.size() && i < out.size(); ++i) wrong += out[i] != data[i];
    return wrong;
}

TEST(MfskInterleaverTest, BurstShorterThanTheSpanIsCorrected) {
    for (int start : {100, 237, 401}) {
        EXPECT_EQ(BurstErrors(true, start, 4), 0) << start;
        EXPECT_EQ(BurstErrors(true, start, 2), 0) << start;
        // A static crash that leaves the tones unreadable for ten symbols.
        EXPECT_EQ(BurstErrors(true, start, 10, true), 0) << start;
        EXPECT_GT(BurstErrors(false, start, 10, true), 0) << start;
        // Without the interleaver the same burst defeats the decoder.
        EXPECT_GT(BurstErrors(false, start, 4), 0) << start;
    }
}

}  // namespace
}  // namespace quorvel::modem::mfsk
