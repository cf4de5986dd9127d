#pragma once
// The framework's colours (0x00BBGGRR or a system colour) on Qt.
#include <QColor>
#include <QPalette>

#include "base/Graphics.h"

namespace quorvel::qt {

inline QColor ToQColor(TColor c, const QPalette& palette) {
    if ((static_cast<std::uint32_t>(c) & 0xFF000000u) == 0xFF000000u) {
        switch (c & 0xFF) {
            case 5: return palette.color(QPalette::Base);              // window
            case 8: return palette.color(QPalette::Text);              // window text
            case 13: return palette.color(QPalette::Highlight);        // highlight
            case 14: return palette.color(QPalette::HighlightedText);  // highlight text
            case 15: return palette.color(QPalette::Button);           // button face
            case 18: return palette.color(QPalette::ButtonText);       // button text
            default: return palette.color(QPalette::Window);
        }
    }
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace quorvel::qt

#include <QFont>

#include "ui/Controls.h"
#include "QtText.h"

namespace quorvel::qt {

inline QFont ToQFont(const TFont& f) {
    QFont font(ToQString(f.Name));
    font.setPointSize(f.Size > 0 ? f.Size : 8);
    font.setBold(f.Style.Contains(TFontStyle::fsBold));
    font.setItalic(f.Style.Contains(TFontStyle::fsItalic));
    font.setUnderline(f.Style.Contains(TFontStyle::fsUnderline));
    font.setStrikeOut(f.Style.Contains(TFontStyle::fsStrikeOut));
    return font;
}

}  // namespace quorvel::qt
