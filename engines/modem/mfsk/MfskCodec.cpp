#include "MfskCodec.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace quorvel::modem::mfsk {
namespace {

// The varicode assigns the valid codes, shortest first and in binary order,
// to the characters in this order: lower case, upper case and figures,
// punctuation, then 160-255, the control codes and 127-159.
constexpr char kFrequentFirst[] =
    " etoainrslhdcumfpgybwvkxqzj,\b\rTSEAIOCRD0MP1LFNB2G3HU5W6X4YK87V9QJZ'!?.-=+/:)(;\"&@%$`_*|><\\^#{}[]~";

constexpr std::array<std::uint8_t, 256> AssignmentOrder() {
    std::array<std::uint8_t, 256> order{};
    std::size_t n = 0;
    for (std::size_t i = 0; i + 1 < sizeof kFrequentFirst; ++i) order[n++] = static_cast<std::uint8_t>(kFrequentFirst[i]);
    for (int c = 160; c <= 255; ++c) order[n++] = static_cast<std::uint8_t>(c);
    for (int c = 0; c < 32; ++c)
        if (c != '\b' && c != '\r') order[n++] = static_cast<std::uint8_t>(c);
    for (int c = 127; c < 160; ++c) order[n++] = static_cast<std::uint8_t>(c);
    return order;
}

constexpr bool IsCode(unsigned v, int len) {
    if ((v & 3u) != 0) return false;  // ends with "00"
    for (int i = 0; i + 3 <= len; ++i)
        if (((v >> i) & 7u) == 1u) return false;  // holds "001"
    return true;
}

struct Tables {
    std::array<VaricodeWord, 256> encode{};
    std::array<std::int16_t, 4096> decode{};
};

constexpr Tables BuildTables() {
    Tables t{};
    for (auto& d : t.decode) d = -1;
    const auto order = AssignmentOrder();
    std::size_t next = 0;
    for (int len = 3; next < order.size(); ++len) {
        for (unsigned v = 1u << (len - 1); v < (1u << len) && next < order.size(); ++v) {
            if (!IsCode(v, len)) continue;
            t.encode[order[next]] = {static_cast<std::uint16_t>(v), static_cast<std::uint8_t>(len)};
            t.decode[v] = order[next];
            ++next;
        }
    }
    return t;
}

constexpr Tables kTables = BuildTables();
static_assert(kTables.encode[' '].bits == 0b100 && kTables.encode['e'].bits == 0b1000);
static_assert(kTables.encode['\r'].bits == 0b10101100 && kTables.encode[0].length == 11);
static_assert(kTables.encode[159].length == 12);

constexpr unsigned kPoly1 = 0x6d;
constexpr unsigned kPoly2 = 0x4f;

constexpr unsigned Parity(unsigned v) { return static_cast<unsigned>(std::popcount(v) & 1); }

// The two coded bits of each 7-bit register value.
constexpr std::array<std::uint8_t, 128> BuildOutputs() {
    std::array<std::uint8_t, 128> out{};
    for (unsigned r = 0; r < 128; ++r) out[r] = static_cast<std::uint8_t>(Parity(r & kPoly1) << 1 | Parity(r & kPoly2));
    return out;
}
constexpr std::array<std::uint8_t, 128> kOutputs = BuildOutputs();

}  // namespace

VaricodeWord Varicode(std::uint8_t code) { return kTables.encode[code]; }

std::optional<std::uint8_t> VaricodeDecoder::Push(bool bit) {
    reg_ = (reg_ << 1) | (bit ? 1u : 0u);
    if (reg_ >= (1u << 16)) {
        overflow_ = true;
        reg_ &= 0xFFFFu;
    }
    if ((reg_ & 7u) != 1u) return std::nullopt;
    const unsigned word = reg_ >> 1;
    const bool wasOverflow = overflow_;
    reg_ = 1;
    overflow_ = false;
    if (wasOverflow || word >= kTables.decode.size() || kTables.decode[word] < 0) return std::nullopt;
    return static_cast<std::uint8_t>(kTables.decode[word]);
}

unsigned ConvolutionalEncoder::Push(bool bit) {
    reg_ = ((reg_ << 1) | (bit ? 1u : 0u)) & 0x7Fu;
    return kOutputs[reg_];
}

void ViterbiDecoder::Reset() {
    metric_.fill(0);
    path_.fill(0);
    filled_ = 0;
    excess_ = 0;
    confidence_ = 0;
    recentExcess_ = 0;
    recentConfidence_ = 0;
}

std::optional<bool> ViterbiDecoder::Push(SoftBit first, SoftBit second) {
    // Cost of each hypothesis for the pair: 00, 01, 10, 11.
    const int a = first, b = second;
    const std::array<std::uint32_t, 4> cost{
        static_cast<std::uint32_t>(a + b), static_cast<std::uint32_t>(a + 255 - b),
        static_cast<std::uint32_t>(255 - a + b), static_cast<std::uint32_t>(510 - a - b)};

    const std::uint32_t oldBest = *std::min_element(metric_.begin(), metric_.end());
    std::array<std::uint32_t, 64> metric{};
    std::array<std::uint64_t, 64> path{};
    std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
    std::size_t bestState = 0;
    for (unsigned ns = 0; ns < 64; ++ns) {
        // The state is the last six data bits; the oldest of the seven in the
        // register is the one that falls out.
        const unsigned s0 = ns >> 1, s1 = (ns >> 1) | 32u;
        const std::uint32_t m0 = metric_[s0] + cost[kOutputs[ns]];
        const std::uint32_t m1 = metric_[s1] + cost[kOutputs[ns | 64u]];
        const bool fromOne = m1 < m0;
        metric[ns] = fromOne ? m1 : m0;
        path[ns] = (path_[fromOne ? s1 : s0] << 1) | (ns & 1u);
        if (metric[ns] < best) {
            best = metric[ns];
            bestState = ns;
        }
    }
    // Excess over the best the pair could cost with no code at all: how far
    // the code had to bend the received bits to fit.
    const int free = std::min(a, 255 - a) + std::min(b, 255 - b);
    const double excess = static_cast<double>(best - oldBest) - free;
    const double confident = std::abs(a - 128) + std::abs(b - 128);
    excess_ += (std::max(0.0, excess) - excess_) / 32.0;
    confidence_ += (confident - confidence_) / 32.0;
    recentExcess_ += (std::max(0.0, excess) - recentExcess_) / 12.0;
    recentConfidence_ += (confident - recentConfidence_) / 12.0;

    for (auto& m : metric) m -= best;
    metric_ = metric;
    path_ = path;
    if (filled_ < kDepth) {
        ++filled_;
        return std::nullopt;
    }
    return ((path_[bestState] >> kDepth) & 1u) != 0;
}

}  // namespace quorvel::modem::mfsk
