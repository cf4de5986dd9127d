#pragma once
// Reading strings the host hands out through out-parameters.
#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

// Calls get(buffer, size) and, when the text did not fit, again with room for
// all of it. get returns the full length of the text.
template <class Get>
std::string HostString(Get&& get) {
    std::vector<char> buffer(256, '\0');
    std::int32_t length = get(buffer.data(), static_cast<std::int32_t>(buffer.size()));
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) >= buffer.size()) {
        buffer.assign(static_cast<std::size_t>(length) + 1, '\0');
        length = get(buffer.data(), static_cast<std::int32_t>(buffer.size()));
        if (length < 0) return {};
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

}  // namespace quorvel
