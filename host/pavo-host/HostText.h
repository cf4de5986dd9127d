#pragma once
// Small text helpers of the reference host.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"
#include "pavo/copyout.h"

namespace pavohost {

// The out-parameter convention of pavo/host.h (pavo/copyout.h): at most
// size - 1 bytes and a NUL are written; the full length is returned.
inline std::int32_t CopyOut(std::string_view text, char* buffer, std::int32_t size) {
    return PavoCopyOut(text, buffer, size);
}

// The system's text helpers (base/Text.h).
using quorvel::EqualsNoCase;
using quorvel::Split;
using quorvel::Trim;
using quorvel::UpperAscii;

// UTF-8 <-> the cp1251 of the plug-in boundary.
std::string ToCp1251(std::string_view utf8);
std::string ToUtf8(std::string_view cp1251);

// "0x1A2B" style for handles in messages.
std::string Hex(std::uintptr_t value);

}  // namespace pavohost
