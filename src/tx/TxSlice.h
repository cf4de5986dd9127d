#pragma once
// The transmit slice's state (src/tx/dsMainFormTransmit.cpp,
// dsMainFormMacros.cpp).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tx/MacrosesDataModule.h"

namespace quorvel {

class TToolButtonX;

struct TTxState {
    std::string PendingText;  // typed and not yet echoed
    bool FeedMode = false;    // the engine takes the pane's text character by character
    std::int32_t FeedPosition = -1;
    bool SaveQsoAfterTx = false;
    bool TxTagSeen = false;
    bool RxTagSeen = false;
    bool FileSending = false;
    std::unique_ptr<TMacrosesDataModule> MacrosesDataModule;  // lives as long as the window
    // The local time of day in seconds, when not the system's (tests).
    std::function<int()> LocalTime;
    TToolButtonX* PreviewButton = nullptr;  // its hint is off while its preview shows
};

}  // namespace quorvel
