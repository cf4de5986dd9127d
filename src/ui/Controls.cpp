#include "ui/Controls.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>

#include "base/CodePage.h"

namespace quorvel {

// ---- Shortcuts ----------------------------------------------------------------

namespace {

struct TKeyName {
    const char* Name;
    std::uint16_t Key;
};

constexpr std::array<TKeyName, 15> kKeyNames{{{"BkSp", 8},
                                              {"Tab", 9},
                                              {"Enter", 13},
                                              {"Esc", 27},
                                              {"Space", 32},
                                              {"PgUp", 33},
                                              {"PgDn", 34},
                                              {"End", 35},
                                              {"Home", 36},
                                              {"Left", 37},
                                              {"Up", 38},
                                              {"Right", 39},
                                              {"Down", 40},
                                              {"Ins", 45},
                                              {"Del", 46}}};

bool SameText(std::string_view a, std::string_view b) { return UpperCase(a) == UpperCase(b); }

bool StartsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::uint16_t KeyFromName(std::string_view name) {
    if (name.size() == 1) {
        const char c = UpperCp1251(name[0]);
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<std::uint16_t>(c);
        return 0;
    }
    for (const auto& k : kKeyNames)
        if (SameText(name, k.Name)) return k.Key;
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int n = 0;
        const auto* end = name.data() + name.size();
        auto [p, ec] = std::from_chars(name.data() + 1, end, n);
        if (ec == std::errc() && p == end && n >= 1 && n <= 12) return static_cast<std::uint16_t>(0x6F + n);
    }
    return 0;
}

}  // namespace

TShortCut TextToShortCut(std::string_view text) {
    TShortCut modifiers = 0;
    for (;;) {
        if (StartsWithText(text, "Shift+")) {
            modifiers |= scShift;
            text.remove_prefix(6);
        } else if (StartsWithText(text, "Ctrl+")) {
            modifiers |= scCtrl;
            text.remove_prefix(5);
        } else if (StartsWithText(text, "Alt+")) {
            modifiers |= scAlt;
            text.remove_prefix(4);
        } else {
            break;
        }
    }
    const std::uint16_t key = KeyFromName(text);
    return key == 0 ? TShortCut{0} : ShortCut(key, modifiers);
}

std::string ShortCutToText(TShortCut shortCut) {
    const std::uint16_t key = shortCut & 0xFF;
    std::string name;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) name = std::string(1, static_cast<char>(key));
    else if (key >= 0x70 && key <= 0x7B) name.append("F").append(std::to_string(key - 0x6F));
    else
        for (const auto& k : kKeyNames)
            if (k.Key == key) name = k.Name;
    if (name.empty()) return {};
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    text += name;
    return text;
}

// ---- TControl -------------------------------------------------------------------

void TControl::SetCaption(std::string caption) {
    if (caption_ == caption) return;
    caption_ = std::move(caption);
    Changed();
}

void TControl::SetHint(std::string hint) {
    if (hint_ == hint) return;
    hint_ = std::move(hint);
    Changed();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed();
}

void TControl::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
}

void TControl::SetWidth(int width) {
    if (width_ == width) return;
    width_ = width;
    Changed();
}

void TControl::SetHeight(int height) {
    if (height_ == height) return;
    height_ = height;
    Changed();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (enabled_ && OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (enabled_ && OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TPanel::SetHeight(int height) { TControl::SetHeight(std::max(height, MinHeight)); }

// ---- Focus -----------------------------------------------------------------------

void TFocusScope::SetFocus(TWinControl* control) {
    if (focused_ == control) return;
    TWinControl* old = focused_;
    focused_ = control;
    if (old != nullptr && old->OnExit) old->OnExit(old);
    if (control != nullptr && focused_ == control && control->OnEnter) control->OnEnter(control);
}

TWinControl::~TWinControl() {
    // A dying control takes no events, so the scope forgets it silently.
    if (Focused()) scope_->SetFocus(nullptr);
}

void TWinControl::SetFocus() {
    if (scope_ != nullptr && EnabledInWindow() && Visible()) scope_->SetFocus(this);
}

// ---- Buttons and menus ------------------------------------------------------------

void TButtonGroup::Add(TButtonItem& button) {
    buttons_.push_back(&button);
    button.group_ = this;
    button.ButtonStyle = TButtonStyle::bsChecked;
}

TButtonItem* TButtonGroup::DownButton() const {
    for (TButtonItem* b : buttons_)
        if (b->Down()) return b;
    return nullptr;
}

void TButtonItem::SetDown(bool down) {
    if (down_ == down) return;
    if (!down && group_ != nullptr && !group_->AllowAllUp) return;
    if (down && group_ != nullptr)
        for (TButtonItem* other : group_->Buttons())
            if (other != this && other->down_) {
                other->down_ = false;
                other->Changed();
            }
    down_ = down;
    Changed();
}

void TButtonItem::Click() {
    if (!EnabledInWindow() || !Visible()) return;
    if (ButtonStyle == TButtonStyle::bsChecked) SetDown(!down_);
    if (OnClick) OnClick(this);
}

TToolButtonX& TToolBar::AddButton(std::unique_ptr<TToolButtonX> button) {
    buttons_.push_back(std::move(button));
    Changed();
    return *buttons_.back();
}

void TToolBar::Clear() {
    if (buttons_.empty()) return;
    while (!buttons_.empty()) buttons_.pop_back();
    Changed();
}

void TPopupMenu::Popup(TPoint at) {
    if (shown_) return;
    if (OnPopup) OnPopup(this);
    shown_ = true;
    Changed();
    if (Runner) Runner(*this, at);
    shown_ = false;
    Changed();
    if (OnCloseUp) OnCloseUp(this);
}

void TBar::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
}

void TBarManager::SetStyle(TBarLook style) {
    if (style_ == style) return;
    style_ = style;
    Changed();
}

// ---- Edits ------------------------------------------------------------------------

std::string TCustomEdit::Cased(std::string_view text) const {
    return CharCase == TEditCharCase::ecUpperCase ? UpperCase(text) : std::string(text);
}

void TCustomEdit::SetText(std::string_view text) {
    std::string value = Cased(text);
    if (!multiLine_) value.erase(std::remove_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }),
                                 value.end());
    if (value == text_) return;
    text_ = std::move(value);
    sel_.Start = 0;
    sel_.Length = 0;
    Changed();
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetSelStart(int start) {
    sel_.SetStart(start, GetTextLen());
    Changed();
}

void TCustomEdit::SetSelLength(int length) {
    sel_.SetLength(length, GetTextLen());
    Changed();
}

void TCustomEdit::SelectAll() {
    sel_.All(GetTextLen());
    Changed();
}

std::string TCustomEdit::SelText() const { return sel_.Of(text_); }

void TCustomEdit::Replace(int start, int length, std::string_view text) {
    std::string inserted = Cased(text);
    text_.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), inserted);
    sel_.Start = start + static_cast<int>(inserted.size());
    sel_.Length = 0;
    Changed();
    if (OnChange) OnChange(this);
}

void TCustomEdit::SetSelText(std::string_view text) {
    if (sel_.Length == 0 && text.empty()) return;
    Replace(sel_.Start, sel_.Length, text);
}

void TCustomEdit::KeyDown(std::uint16_t key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TCustomEdit::KeyPress(char key) {
    if (!EnabledInWindow()) return;  // a disabled control, or one in a disabled group, takes no keys
    if (OnKeyPress) OnKeyPress(this, key);
    if (key == 0 || ReadOnly) return;
    if (key == '\b') {
        if (sel_.Length > 0) Replace(sel_.Start, sel_.Length, {});
        else if (sel_.Start > 0) {
            // A line break goes as a whole.
            const bool pair = sel_.Start >= 2 && text_[static_cast<std::size_t>(sel_.Start - 1)] == '\n' &&
                              text_[static_cast<std::size_t>(sel_.Start - 2)] == '\r';
            Replace(sel_.Start - (pair ? 2 : 1), pair ? 2 : 1, {});
        }
        return;
    }
    if (key == '\r' || key == '\n') {
        if (multiLine_ && WantReturns) Replace(sel_.Start, sel_.Length, "\r\n");
        return;
    }
    if (static_cast<unsigned char>(key) < 32 && key != '\t') return;
    if (key == '\t' && !multiLine_) return;
    if (MaxLength > 0 && GetTextLen() - sel_.Length >= MaxLength) return;
    Replace(sel_.Start, sel_.Length, std::string_view(&key, 1));
}

namespace {

// Lines.Add of a plain or rich text control, on text with CR LF line breaks:
// a text ending in a line break (or empty) gets line + CR LF, any other gets
// CR LF + line.
std::string LinesAddText(const std::string& text, std::string_view line) {
    const bool atLineStart = text.empty() || (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
    return atLineStart ? std::string(line) + "\r\n" : "\r\n" + std::string(line);
}

}  // namespace

void TMemo::LinesAdd(std::string_view line) {
    const int end = GetTextLen();
    SetSelStart(end);
    SetSelText(LinesAddText(Text(), line));
}

// ---- Combo and spin editor -----------------------------------------------------

void TComboBox::AddItem(std::string item) {
    items_.push_back(std::move(item));
    Changed();
}

void TComboBox::ClearItems() {
    items_.clear();
    itemIndex_ = -1;
    Changed();
}

int TComboBox::IndexOf(std::string_view text) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text) return static_cast<int>(i);
    return -1;
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    if (itemIndex_ == index) return;
    itemIndex_ = index;
    Changed();
}

std::string TComboBox::Text() const {
    return itemIndex_ < 0 ? std::string() : items_[static_cast<std::size_t>(itemIndex_)];
}

void TComboBox::Select(int index) {
    if (!Enabled() || index < 0 || index >= static_cast<int>(items_.size())) return;
    SetItemIndex(index);
    if (OnChange) OnChange(this);
}

int TSpinEdit::Clamp(int value) const { return MaxValue > MinValue ? std::clamp(value, MinValue, MaxValue) : value; }

void TSpinEdit::SetValue(int value) {
    value_ = Clamp(value);
    curText_ = std::to_string(value_);
    Changed();
}

double TSpinEdit::CurValue() const {
    // The editor's text in the C locale; the view shows and accepts "." only.
    double v = 0;
    const char* b = curText_.data();
    const char* e = b + curText_.size();
    while (b != e && *b == ' ') ++b;
    if (b != e && *b == '+') ++b;
    auto [p, ec] = std::from_chars(b, e, v);
    if (ec != std::errc()) return 0;
    while (p != e && *p == ' ') ++p;
    return p == e ? v : 0;
}

void TSpinEdit::SetCurText(std::string text) {
    curText_ = std::move(text);
    Changed();
    if (OnCurChange) OnCurChange(this);
}

void TSpinEdit::Step(int direction) {
    if (!Enabled()) return;
    const double next = CurValue() + (direction < 0 ? -Increment : Increment);
    const double bounded = MaxValue > MinValue ? std::clamp(next, double(MinValue), double(MaxValue)) : next;
    SetCurText(std::to_string(static_cast<long long>(bounded)));
}

// ---- Pages, status bar, timer, animation -----------------------------------------

void TTabSheet::SetTabVisible(bool visible) {
    if (tabVisible_ == visible) return;
    tabVisible_ = visible;
    Changed();
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= PageCount() || active_ == index) return;
    active_ = index;
    Changed();
}

void TPageControl::SetShowCloseButton(bool show) {
    if (showClose_ == show) return;
    showClose_ = show;
    Changed();
}

void TPageControl::SelectPage(int index) {
    if (!Enabled() || index < 0 || index >= PageCount() || !Pages(index).TabVisible()) return;
    if (index == active_) return;
    SetActivePageIndex(index);
    if (OnChange) OnChange(this);
}

void TPageControl::CloseButtonClick() {
    if (Enabled() && showClose_ && OnClose) OnClose(this);
}

void TStatusBar::AddPanel(int width, bool bold, std::string text) {
    panels_.push_back({std::move(text), width, bold});
    Changed();
}

void TStatusBar::SetPanelText(std::size_t i, std::string text) {
    TStatusPanel& panel = panels_.at(i);
    if (panel.Text == text) return;
    panel.Text = std::move(text);
    Changed();
}

void TStatusBar::SetLook(TStatusBarLook look) {
    if (look_ == look) return;
    look_ = look;
    Changed();
}

TTimer::~TTimer() {
    if (id_ != 0 && dispatcher_ != nullptr) dispatcher_->KillTimer(id_);
}

void TTimer::Update() {
    if (dispatcher_ == nullptr) return;
    if (id_ != 0) {
        dispatcher_->KillTimer(id_);
        id_ = 0;
    }
    if (enabled_ && interval_ != 0 && onTimer_)
        id_ = dispatcher_->SetTimer(interval_, [this] {
            // The handler may change or free the timer: work on a copy.
            TNotifyEvent handler = onTimer_;
            handler(this);
        });
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(std::uint32_t ms) {
    if (interval_ == ms) return;
    interval_ = ms;
    Update();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    Update();
}

void TAnimate::SetResId(int id) {
    if (std::find(AvailableClips.begin(), AvailableClips.end(), id) == AvailableClips.end()) {
        active_ = false;
        throw std::runtime_error(Ru("Ошибка открытия AVI"));
    }
    resId_ = id;
    Changed();
}

void TAnimate::SetActive(bool active) {
    if (active_ == active) return;
    active_ = active && resId_ != 0;
    Changed();
}

}  // namespace quorvel
