#pragma once
// The state of the modem folder's three slices of the main window:
// modem parameters (dsMainFormModem.cpp), receive filters and extra channels
// (dsMainFormFilters.cpp), spectrum views and transceiver panel
// (dsMainFormViews.cpp).
#include <cstdint>

struct QuorvelModemDisplay;

namespace quorvel {

struct TModemState {
    std::int32_t EngineHandle = 0;  // the engine's dwHandle, for the displays
    // Where the display controls fetch what the handle stands for; nullptr
    // when no module gives display data.
    const QuorvelModemDisplay* Display = nullptr;
    // The stored mode and speed of the main channel, set on the engine at show.
    std::int16_t SavedMode = 0;
    double SavedSpeed = 0.0;
};

struct TFiltersState {
    std::int32_t CustomFilterType = -1;  // -1 none, 0 low-pass, 1 high-pass, 2 band-pass
};

struct TViewsState {
    std::uint16_t ClickedFrequency = 0;
    bool TuneSteps[6] = {};
    std::int32_t TuneRepeatCount = 0;
};

}  // namespace quorvel
