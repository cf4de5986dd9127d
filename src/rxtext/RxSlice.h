#pragma once
// The received-text slice's state (src/rxtext/dsMainFormRxText.cpp).
#include <cstdint>
#include <string>

#include "rxtext/ReceivedText.h"

namespace quorvel {

struct TRxState {
    bool Hold = false;   // the operator is clicking in a pane: characters wait
    THeldText HeldText;  // each waiting character with its channel and echo state
    std::int32_t MaxSignalToNoise = 0;
    std::string CapturedWord;
    // Text-file reception.
    bool FileReceiving = false;
    bool FileRxStopRequest = false;
    std::string FileRxBuffer;
};

}  // namespace quorvel
