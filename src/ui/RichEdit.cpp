#include "ui/RichEdit.h"

#include <algorithm>

namespace quorvel {
namespace {

// Every line break as CR LF.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::size_t TRichEdit::RunIndexAt(int position) const {
    auto it = std::upper_bound(runs_.begin(), runs_.end(), position,
                               [](int p, const TColorRun& r) { return p < r.Start; });
    return it == runs_.begin() ? 0 : static_cast<std::size_t>(it - runs_.begin() - 1);
}

TColor TRichEdit::ColorAt(int position) const {
    if (runs_.empty() || position < 0 || position >= GetTextLen()) return insertColor_;
    return runs_[RunIndexAt(position)].Color;
}

bool TRichEdit::IsPicture(int position) const {
    return std::binary_search(pictures_.begin(), pictures_.end(), TPictureAt{position, 0},
                              [](const TPictureAt& a, const TPictureAt& b) { return a.Position < b.Position; });
}

void TRichEdit::MarkDirty(int position) { dirtyFrom_ = std::min(dirtyFrom_, position); }

// Runs: [start, start + length) of the old text becomes `inserted` characters
// of `color`; the first surviving character keeps its colour and the rest
// shift. Only the runs from the edit onwards are touched, so edits near the
// end cost O(1).
void TRichEdit::SpliceRuns(int start, int length, int inserted, TColor color) {
    const int end = start + length;
    const int delta = inserted - length;
    const bool tailExists = end < GetTextLen();
    const TColor tailColor = tailExists ? ColorAt(end) : color;
    auto first = std::lower_bound(runs_.begin(), runs_.end(), start,
                                  [](const TColorRun& r, int p) { return r.Start < p; });
    auto last = std::lower_bound(first, runs_.end(), end, [](const TColorRun& r, int p) { return r.Start < p; });
    const bool runAtEnd = last != runs_.end() && last->Start == end;
    for (auto it = last; it != runs_.end(); ++it) it->Start += delta;
    auto at = runs_.erase(first, last);
    const auto i = static_cast<std::size_t>(at - runs_.begin());
    if (tailExists && !runAtEnd)
        runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i), TColorRun{start + inserted, tailColor});
    if (inserted > 0) runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i), TColorRun{start, color});
    // Merge neighbours of the same colour around the edit.
    const std::size_t lo = i > 0 ? i - 1 : 0;
    std::size_t hi = std::min(runs_.size(), i + 3);
    for (std::size_t j = lo + 1; j < hi;) {
        if (runs_[j].Color == runs_[j - 1].Color) {
            runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(j));
            --hi;
        } else {
            ++j;
        }
    }
}

void TRichEdit::Replace(int start, int length, std::string_view text, int pictureId) {
    const std::string inserted = pictureId >= 0 ? std::string(1, kObjectChar) : WithCrLf(text);
    const int n = static_cast<int>(inserted.size());
    const int end = start + length;
    const int delta = n - length;
    if (length == 0 && n == 0) return;

    SpliceRuns(start, length, n, insertColor_);

    // Pictures: the same for their positions.
    auto pFirst = std::lower_bound(pictures_.begin(), pictures_.end(), start,
                                   [](const TPictureAt& p, int pos) { return p.Position < pos; });
    auto pLast =
        std::lower_bound(pFirst, pictures_.end(), end, [](const TPictureAt& p, int pos) { return p.Position < pos; });
    for (auto it = pLast; it != pictures_.end(); ++it) it->Position += delta;
    auto pAt = pictures_.erase(pFirst, pLast);
    if (pictureId >= 0) pictures_.insert(pAt, TPictureAt{start, pictureId});

    text_.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), inserted);
    sel_.Start = start + n;
    sel_.Length = 0;
    MarkDirty(start);
    Changed();
}

void TRichEdit::SetText(std::string_view text) {
    sel_.Start = 0;
    sel_.Length = GetTextLen();
    if (text.empty()) {
        Clear();
        return;
    }
    Replace(0, sel_.Length, text, -1);
    sel_.Start = 0;
}

void TRichEdit::Clear() {
    if (text_.empty() && sel_.Start == 0 && sel_.Length == 0) return;
    // Frees the storage too: a cleared pane starts small again.
    std::string().swap(text_);
    std::vector<TColorRun>().swap(runs_);
    std::vector<TPictureAt>().swap(pictures_);
    sel_.Start = sel_.Length = 0;
    dirtyFrom_ = 0;
    Changed();
}

void TRichEdit::SetSelStart(int start) {
    sel_.SetStart(start, GetTextLen());
    Changed();
}

void TRichEdit::SetSelLength(int length) {
    sel_.SetLength(length, GetTextLen());
    Changed();
}

void TRichEdit::SelectAll() {
    sel_.All(GetTextLen());
    Changed();
}

std::string TRichEdit::SelText() const { return sel_.Of(text_); }

void TRichEdit::SetSelText(std::string_view text) { Replace(sel_.Start, sel_.Length, text, -1); }

void TRichEdit::InsertPicture(int pictureId) { Replace(sel_.Start, sel_.Length, {}, pictureId < 0 ? 0 : pictureId); }

void TRichEdit::SetInsertColor(TColor color) {
    insertColor_ = color;
    if (sel_.Length > 0) {
        SpliceRuns(sel_.Start, sel_.Length, sel_.Length, color);
        MarkDirty(sel_.Start);
        Changed();
    }
}

void TRichEdit::LinesAdd(std::string_view line) {
    const bool atLineStart =
        text_.empty() || (text_.size() >= 2 && text_.compare(text_.size() - 2, 2, "\r\n") == 0);
    sel_.Start = GetTextLen();
    sel_.Length = 0;
    if (atLineStart) SetSelText(std::string(line) + "\r\n");
    else SetSelText("\r\n" + std::string(line));
}

void TRichEdit::ScrollToCaret() {
    ++scrollRequests_;
    Changed();
}

void TRichEdit::ClickAt(int position, TMouseButton button, TShiftState shift) {
    if (!Enabled()) return;
    SetFocus();
    if (button == TMouseButton::mbLeft) SetSelStart(position);
    MouseDown(button, shift, 0, 0);
}

}  // namespace quorvel
