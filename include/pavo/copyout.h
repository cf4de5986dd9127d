/*
 * Copying a string out through a caller's buffer: the out-parameter
 * convention of pavo/host.h (GetText, Title, PluginsDataFolder, ...), of the
 * fixed-size buffers of pavo/hostlibs.h and of the engine modules'
 * simulation tables. One helper for every implementation of those calls.
 *
 *   PavoCopyOut(text, buffer, size)
 *       writes at most size - 1 bytes of text and a NUL (nothing when buffer
 *       is null or size is not positive) and returns the full length of
 *       text, so that a caller whose buffer was too small can call again
 *       with length + 1.
 *
 * C++ only, header-only: it is compiled into each module that uses it.
 */
#ifndef PAVO_COPYOUT_H
#define PAVO_COPYOUT_H

#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

inline std::int32_t PavoCopyOut(std::string_view text, char* buffer, std::int32_t size) {
    if (buffer != nullptr && size > 0) {
        const std::size_t n = text.size() < static_cast<std::size_t>(size) ? text.size()
                                                                           : static_cast<std::size_t>(size) - 1;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<std::int32_t>(text.size());
}

// The fixed sizes of pavo/hostlibs.h (PAVO_PATH_SIZE, PAVO_PROFILE_NAME_SIZE).
inline void PavoCopyOut(std::string_view text, char* buffer, std::size_t size) {
    PavoCopyOut(text, buffer, static_cast<std::int32_t>(size));
}
#endif /* __cplusplus */

#endif /* PAVO_COPYOUT_H */
