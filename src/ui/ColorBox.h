#pragma once
// A colour picker: a list of the system colours after a custom entry that
// holds any other colour and, when the operator picks it, asks for one.
#include <functional>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace quorvel {

class TColorBox : public TComboBox {
public:
    // caption: the custom entry's text.
    TColorBox(std::string name, std::string customCaption);

    static constexpr int kCustomIndex = 0;

    // The colour of an entry; of the selection (black when none).
    TColor Colors(int index) const;
    TColor Selected() const { return Colors(ItemIndex()); }
    // Selects the system colour's entry, else the custom entry takes the colour.
    void SetSelected(TColor color);
    TColor CustomColor() const { return custom_; }

    // Asked for a colour, preset with the custom entry's, when the operator
    // picks that entry: true with the choice. Without an answer, or when it
    // is cancelled, the selection stays as it was and nothing changes.
    std::function<bool(TColor& color)> PickCustomColor;

    void Select(int index) override;

    // The system colours in the order the list shows them, by name.
    struct TSystemColor {
        const char* Name;
        TColor Color;
    };
    static const std::vector<TSystemColor>& SystemColors();

private:
    TColor custom_ = clBlack;
};

}  // namespace quorvel
