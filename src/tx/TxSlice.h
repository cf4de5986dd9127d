#pragma once
// The transmit slice's state (src/tx/dsMainFormTransmit.cpp,
// dsMainFormMacros.cpp).
#include <cstdint>
#include <string>

namespace quorvel {

struct TTxState {
    std::string PendingText;  // typed and not yet echoed
    bool FeedMode = false;    // the engine takes the pane's text character by character
    std::int32_t FeedPosition = -1;
    bool SaveQsoAfterTx = false;
    bool TxTagSeen = false;
    bool RxTagSeen = false;
    bool FileSending = false;
};

}  // namespace quorvel
