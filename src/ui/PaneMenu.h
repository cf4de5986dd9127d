#pragma once
// The small semi-transparent menu that floats over a text pane: one 25 x 25
// button wide, with "Очистить" and the auto-scroll button (kept hidden).
#include "ui/Controls.h"
#include "ui/Forms.h"

namespace quorvel {

class TMenuForm : public TForm {
public:
    static constexpr int ButtonSize = 25;

    TMenuForm(TApplication& app, THandle owner);

    TSpeedButton btnClear{"btnClear"};
    TSpeedButton btnAutoScroll{"btnAutoScroll"};

    // Moves the window to a screen position and shows it without activating it.
    void ShowAt(int left, int top);

    // The pane it was opened over: the transmit pane or a receive pane.
    bool OverTransmitPane = false;
};

}  // namespace quorvel
