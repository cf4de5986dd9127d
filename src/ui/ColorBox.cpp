#include "ui/ColorBox.h"

namespace quorvel {

namespace {
constexpr TColor System(int index) { return static_cast<TColor>(0xFF000000u | static_cast<unsigned>(index)); }
}  // namespace

const std::vector<TColorBox::TSystemColor>& TColorBox::SystemColors() {
    static const std::vector<TSystemColor> colors = {
        {"ScrollBar", System(0)},          {"Background", System(1)},
        {"ActiveCaption", System(2)},      {"InactiveCaption", System(3)},
        {"Menu", System(4)},               {"Window", System(5)},
        {"WindowFrame", System(6)},        {"MenuText", System(7)},
        {"WindowText", System(8)},         {"CaptionText", System(9)},
        {"ActiveBorder", System(10)},      {"InactiveBorder", System(11)},
        {"AppWorkSpace", System(12)},      {"Highlight", System(13)},
        {"HighlightText", System(14)},     {"BtnFace", System(15)},
        {"BtnShadow", System(16)},         {"GrayText", System(17)},
        {"BtnText", System(18)},           {"InactiveCaptionText", System(19)},
        {"BtnHighlight", System(20)},      {"3DDkShadow", System(21)},
        {"3DLight", System(22)},           {"InfoText", System(23)},
        {"InfoBk", System(24)},            {"HotLight", System(26)},
        {"GradientActiveCaption", System(27)}, {"GradientInactiveCaption", System(28)},
        {"MenuHighlight", System(29)},     {"MenuBar", System(30)},
    };
    return colors;
}

TColorBox::TColorBox(std::string name, std::string customCaption) : TComboBox(std::move(name)) {
    AddItem(std::move(customCaption));
    for (const TSystemColor& c : SystemColors()) AddItem(c.Name);
}

TColor TColorBox::Colors(int index) const {
    if (index == kCustomIndex) return custom_;
    const auto& system = SystemColors();
    if (index < 1 || index > static_cast<int>(system.size())) return clBlack;
    return system[static_cast<std::size_t>(index - 1)].Color;
}

void TColorBox::SetSelected(TColor color) {
    const auto& system = SystemColors();
    for (std::size_t i = 0; i < system.size(); ++i)
        if (system[i].Color == color) {
            SetItemIndex(static_cast<int>(i) + 1);
            return;
        }
    custom_ = color;
    SetItemIndex(kCustomIndex);
    Changed();  // the custom entry's swatch, even when it was selected already
}

void TColorBox::Select(int index) {
    if (index != kCustomIndex) {
        TComboBox::Select(index);
        return;
    }
    if (!Enabled()) return;
    TColor chosen = custom_;
    if (!PickCustomColor || !PickCustomColor(chosen)) return;
    custom_ = chosen;
    SetItemIndex(kCustomIndex);
    Changed();
    if (OnChange) OnChange(this);
}

}  // namespace quorvel
