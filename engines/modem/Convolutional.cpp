#include "Convolutional.h"

#include <algorithm>
#include <limits>

namespace quorvel::modem {

TViterbiDecoder::TViterbiDecoder(unsigned k, unsigned poly0, unsigned poly1, unsigned depth)
    : states_(1u << (k - 1)), depth_(std::clamp(depth, 1u, 63u)), output_(states_ * 2), metric_(states_),
      next_(states_), history_(states_), nextHistory_(states_) {
    for (unsigned s = 0; s < states_; ++s)
        for (unsigned b = 0; b < 2; ++b)
            output_[s * 2 + b] = static_cast<std::uint8_t>(TConvolutionalEncoder::Output((s << 1) | b, poly0, poly1));
    Reset();
}

void TViterbiDecoder::Reset() {
    std::fill(metric_.begin(), metric_.end(), 0.0f);
    std::fill(history_.begin(), history_.end(), 0);
    filled_ = 0;
}

int TViterbiDecoder::Step(const std::array<float, 4>& metrics) {
    const float lowest = std::numeric_limits<float>::lowest();
    std::fill(next_.begin(), next_.end(), lowest);
    for (unsigned s = 0; s < states_; ++s) {
        for (unsigned b = 0; b < 2; ++b) {
            const unsigned to = ((s << 1) | b) & (states_ - 1);
            const float m = metric_[s] + metrics[output_[s * 2 + b]];
            if (m > next_[to]) {
                next_[to] = m;
                nextHistory_[to] = (history_[s] << 1) | b;
            }
        }
    }
    // Keep the metrics near zero so a long run never loses precision.
    const float best = *std::max_element(next_.begin(), next_.end());
    unsigned bestState = 0;
    for (unsigned s = 0; s < states_; ++s) {
        metric_[s] = next_[s] - best;
        if (next_[s] == best) bestState = s;
    }
    history_.swap(nextHistory_);
    if (filled_ < depth_) {
        ++filled_;
        return -1;
    }
    return static_cast<int>((history_[bestState] >> depth_) & 1u);
}

}  // namespace quorvel::modem
