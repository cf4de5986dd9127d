#pragma once
// The rich-text pane: text counted the way the pane's users count it (a line
// break is CR LF, an embedded picture one character), colour runs, caret and
// selection, and the pane's default text attributes. Panes are never trimmed,
// so everything done at the end of the text (append, delete the last
// characters, recolour, look back a few characters) is O(1) amortised and a
// character costs one byte plus its share of a run.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Controls.h"
#include "ui/TextSelection.h"

namespace quorvel {

class TRichEdit : public TWinControl {
public:
    // What Text() holds where a picture is embedded.
    static constexpr char kObjectChar = '?';

    struct TColorRun {
        int Start;  // first character of the run; a run lasts to the next one
        TColor Color;
    };
    struct TPictureAt {
        int Position;
        int PictureId;  // which picture; the view maps it to an image
    };

    using TWinControl::TWinControl;

    const std::string& Text() const { return text_; }
    int GetTextLen() const { return static_cast<int>(text_.size()); }
    // Replaces everything; line breaks become CR LF, the text takes the
    // insertion colour.
    void SetText(std::string_view text);
    void Clear();

    // Caret and selection.
    int SelStart() const { return sel_.Start; }
    int SelLength() const { return sel_.Length; }
    void SetSelStart(int start);  // collapses the selection
    void SetSelLength(int length);
    void SelectAll();
    std::string SelText() const;
    // Replaces the selection with text in the insertion colour; caret after it.
    // A lone CR, a lone LF and CR LF each become one CR LF line break.
    void SetSelText(std::string_view text);
    // Replaces the selection with an embedded picture; caret after it.
    void InsertPicture(int pictureId);

    // Colour of newly inserted text (the selection attributes). Setting it
    // also recolours a non-empty selection.
    TColor InsertColor() const { return insertColor_; }
    void SetInsertColor(TColor color);
    TColor ColorAt(int position) const;
    const std::vector<TColorRun>& ColorRuns() const { return runs_; }
    bool IsPicture(int position) const;
    const std::vector<TPictureAt>& Pictures() const { return pictures_; }

    // Lines.Add: the text becomes a new last line (caret after it).
    void LinesAdd(std::string_view line);
    // Asks the view to bring the caret into sight.
    void ScrollToCaret();
    std::uint32_t ScrollRequests() const { return scrollRequests_; }

    // The first position that changed since the view last acknowledged; the
    // view redraws from there (the text length when nothing changed).
    int DirtyFrom() const { return dirtyFrom_; }
    void AcknowledgeChanges() { dirtyFrom_ = GetTextLen(); }

    TFont DefAttributes;  // font of the whole pane
    TColor Color = clWindow;  // background
    bool ReadOnly = false;

    // User action: the left button pressed at a text position puts the caret
    // there, then the mouse-down event runs.
    void ClickAt(int position, TMouseButton button = TMouseButton::mbLeft, TShiftState shift = 0);

private:
    void Replace(int start, int length, std::string_view text, int pictureId);
    void SpliceRuns(int start, int length, int inserted, TColor color);
    std::size_t RunIndexAt(int position) const;
    void MarkDirty(int position);

    std::string text_;
    std::vector<TColorRun> runs_;      // sorted by Start, first at 0 when not empty
    std::vector<TPictureAt> pictures_; // sorted by Position
    TTextSelection sel_;
    TColor insertColor_ = clWindowText;
    std::uint32_t scrollRequests_ = 0;
    int dirtyFrom_ = 0;
};

}  // namespace quorvel
