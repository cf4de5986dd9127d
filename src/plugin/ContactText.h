#pragma once
// Texts of the contact hand-off: the host's mode name.
#include <string>
#include <string_view>

namespace quorvel {

// The host's name for a mode of the mode list at a speed of the speed list:
// BPSK at "31.25" is BPSK31, rtty-U is RTTY; a mode the table does not know
// is passed on unchanged. A speed that is not a number throws
// std::invalid_argument with the runtime's conversion message.
std::string HostModeName(std::string_view modeText, std::string_view speedText, char decimalSeparator);

}  // namespace quorvel
