#pragma once
// Small helpers the window slices design their controls with: caption and
// hint (cp1251 from UTF-8 source text), spin-editor ranges, checked buttons;
// and how a spin editor's typed value is committed.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/CodePage.h"
#include "ui/Controls.h"

namespace quorvel::design {

// Caption, and the hint (the caption when none is given).
inline void Design(TControl& c, const char* caption, const char* hint = nullptr) {
    c.SetCaption(Ru(caption));
    c.SetHint(hint != nullptr ? Ru(hint) : Ru(caption));
}

inline void Spin(TSpinEdit& s, const char* caption, const char* hint, int width, int lo, int hi, int step,
                 int value) {
    Design(s, caption, hint);
    s.SetWidth(width);
    s.MinValue = lo;
    s.MaxValue = hi;
    s.Increment = step;
    s.SetValue(value);
}

inline void Check(TButtonItem& b, bool down) {
    b.ButtonStyle = TButtonStyle::bsChecked;
    b.SetDown(down);
}

// The editor's current value as a whole number, kept within int.
inline int TruncatedCurValue(const TSpinEdit& editor) {
    const double v = std::trunc(editor.CurValue());
    constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(v, lo, hi));
}

// The editor value takes the current value; the caller passes on what the
// editor then holds, so a typed value beyond the range never goes further.
inline std::uint16_t CommitCurValue(TSpinEdit& editor) {
    editor.SetValue(TruncatedCurValue(editor));
    return static_cast<std::uint16_t>(std::clamp(editor.Value(), 0, 0xFFFF));
}

}  // namespace quorvel::design
