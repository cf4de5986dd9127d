#pragma once
// Colours and fonts as the framework keeps them (below ui/: the ports use
// them too).
#include <cstdint>
#include <string>

#include "base/Set.h"

namespace quorvel {

// 0x00BBGGRR for an RGB colour, 0xFF0000nn for system colour nn.
using TColor = std::int32_t;
constexpr TColor clGreen = 0x00008000;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clWindow = static_cast<TColor>(0xFF000005);
constexpr TColor clWindowText = static_cast<TColor>(0xFF000008);

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

struct TFont {
    std::string Name = "MS Sans Serif";
    int Size = 8;  // points
    TFontStyles Style;
    TColor Color = clWindowText;
    bool operator==(const TFont&) const = default;
};

}  // namespace quorvel
