#pragma once
// The controls of the form model: plain objects holding a control's state and
// raising its events with the window framework's semantics. A view binds to a
// control through Observe() and is told after every change of its state; it
// reads the state back and feeds user input in through the user-action
// methods (Click, Select, KeyPress, ...). Text is cp1251.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Graphics.h"
#include "ports/Dispatcher.h"
#include "ports/WindowSystem.h"
#include "ui/TextSelection.h"

namespace quorvel {

class TComponent;
class TPopupMenu;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000F);
constexpr TColor RGB(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// Keyboard shortcut: virtual-key code in the low byte plus modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
constexpr TShortCut ShortCut(std::uint16_t key, TShortCut modifiers) {
    return static_cast<TShortCut>((key & 0xFF) | modifiers);
}
// Menu shortcut text ("F5", "Ctrl+O", "Shift+Enter"): modifier prefixes
// "Shift+", "Ctrl+", "Alt+", key names, letters, digits, F1-F12; case is
// ignored. 0 when empty or not understood.
TShortCut TextToShortCut(std::string_view text);
std::string ShortCutToText(TShortCut shortCut);

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = std::uint8_t;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16;

using TNotifyEvent = std::function<void(TComponent* Sender)>;
using TMouseEvent = std::function<void(TComponent* Sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TKeyPressEvent = std::function<void(TComponent* Sender, char& key)>;
using TKeyEvent = std::function<void(TComponent* Sender, std::uint16_t& key, TShiftState shift)>;

class TComponent {
public:
    explicit TComponent(std::string name) : Name(std::move(name)) {}
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string Name;
    int Tag = 0;

    // The one observer of this component (its view): called after each change
    // of the state a view shows. Replaces any earlier observer.
    void Observe(std::function<void()> changed) { changed_ = std::move(changed); }

protected:
    void Changed() const {
        if (changed_) changed_();
    }

private:
    std::function<void()> changed_;
};

class TControl : public TComponent {
public:
    using TComponent::TComponent;

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The control that holds this one (a group box), if any: a disabled
    // container takes its children's input away while their own Enabled stays.
    TControl* Parent = nullptr;
    bool EnabledInWindow() const { return enabled_ && (Parent == nullptr || Parent->EnabledInWindow()); }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    int Width() const { return width_; }
    void SetWidth(int width);
    int Height() const { return height_; }
    virtual void SetHeight(int height);

    // Where the view shows the control, in screen coordinates (set by the view).
    TRect ScreenRect() const { return screenRect_; }
    void SetScreenRect(const TRect& rect) { screenRect_ = rect; }

    TPopupMenu* PopupMenu = nullptr;
    TMouseEvent OnMouseDown, OnMouseUp;

    // User actions (from a view or a test).
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    std::string caption_, hint_;
    bool enabled_ = true;
    bool visible_ = true;
    int width_ = 0, height_ = 0;
    TRect screenRect_;
};

// The keyboard focus of one window: which of its controls has it.
class TWinControl;
class TFocusScope {
public:
    TWinControl* Focused() const { return focused_; }
    // Runs OnExit of the control that loses the focus, then OnEnter of the new one.
    void SetFocus(TWinControl* control);

private:
    TWinControl* focused_ = nullptr;
};

// A control that can take the keyboard focus.
class TWinControl : public TControl {
public:
    TWinControl(std::string name, TFocusScope* scope) : TControl(std::move(name)), scope_(scope) {}
    ~TWinControl() override;
    bool Focused() const { return scope_ != nullptr && scope_->Focused() == this; }
    void SetFocus();
    TNotifyEvent OnEnter, OnExit;

private:
    TFocusScope* scope_;
};

class TLabel : public TControl {
public:
    using TControl::TControl;
    TFont Font;
};

class TPanel : public TControl {
public:
    using TControl::TControl;
    int MinHeight = 0;  // constraint: a smaller height is raised to it
    TColor Color = clBtnFace;
    // A vertical gradient from Color at the top to GradientTo at the bottom.
    bool Gradient = false;
    TColor GradientTo = clBtnFace;
    void SetHeight(int height) override;
};

class TGroupBox : public TControl {
public:
    using TControl::TControl;
};

// ---- Buttons, menus, bars -------------------------------------------------

class TButtonItem;

// Check buttons of one group: at most one is down; unless AllowAllUp, a down
// button cannot be released except by pressing another one.
class TButtonGroup {
public:
    explicit TButtonGroup(bool allowAllUp = false) : AllowAllUp(allowAllUp) {}
    TButtonGroup(const TButtonGroup&) = delete;
    TButtonGroup& operator=(const TButtonGroup&) = delete;
    const bool AllowAllUp;
    void Add(TButtonItem& button);
    const std::vector<TButtonItem*>& Buttons() const { return buttons_; }
    TButtonItem* DownButton() const;

private:
    std::vector<TButtonItem*> buttons_;
};

enum class TButtonStyle { bsDefault, bsChecked };

// A command button of a bar or menu (also speed and tool buttons): caption,
// hint, image, shortcut; as a check button it has a down state, alone or in
// a group.
class TButtonItem : public TControl {
public:
    using TControl::TControl;
    TButtonStyle ButtonStyle = TButtonStyle::bsDefault;
    int ImageIndex = -1;
    TShortCut ShortCut = 0;
    TNotifyEvent OnClick;

    TButtonGroup* Group() const { return group_; }
    bool Down() const { return down_; }
    // Programmatic: no click event. Going down releases the rest of the group;
    // releasing the down button of a group that may not be all up is ignored.
    void SetDown(bool down);

    // The user presses the button: a check button changes its state as the
    // group allows, then the click event runs. Nothing for a disabled or
    // hidden button.
    void Click();

private:
    friend class TButtonGroup;
    TButtonGroup* group_ = nullptr;
    bool down_ = false;
};

class TSpeedButton : public TButtonItem {
public:
    using TButtonItem::TButtonItem;
};

// A button of a plain toolbar, created at run time (the macro buttons).
class TToolButtonX : public TButtonItem {
public:
    using TButtonItem::TButtonItem;
    bool ShowHint = true;  // the ordinary hint; off while a preview of it shows
};

// A horizontally scrolling toolbar that owns its buttons.
class TToolBar : public TControl {
public:
    using TControl::TControl;
    TToolButtonX& AddButton(std::unique_ptr<TToolButtonX> button);
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TToolButtonX& Buttons(int index) const { return *buttons_.at(static_cast<std::size_t>(index)); }
    // Frees every button, last to first.
    void Clear();

private:
    std::vector<std::unique_ptr<TToolButtonX>> buttons_;
};

// One entry of a menu, submenu or bar: an item and whether a separator
// precedes it.
struct TItemLink {
    TControl* Item = nullptr;
    bool BeginGroup = false;
};

class TItemLinks {
public:
    void Add(TControl& item, bool beginGroup = false) { links_.push_back({&item, beginGroup}); }
    const std::vector<TItemLink>& Links() const { return links_; }
    std::size_t Count() const { return links_.size(); }
    TControl& Item(std::size_t i) const { return *links_.at(i).Item; }

private:
    std::vector<TItemLink> links_;
};

// A submenu entry: opens its own list of items.
class TSubItem : public TControl {
public:
    using TControl::TControl;
    TItemLinks ItemLinks;
};

// A pop-up menu. Popup() runs it: the view installed as Runner shows it
// modally and returns when it has closed; without one it closes at once.
class TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
    TItemLinks ItemLinks;
    TNotifyEvent OnPopup, OnCloseUp;
    std::function<void(TPopupMenu& menu, TPoint at)> Runner;
    bool IsShown() const { return shown_; }
    void Popup(TPoint at);

private:
    bool shown_ = false;
};

// A bar of the bar manager: a toolbar, or the main menu.
class TBar : public TComponent {
public:
    TBar(std::string name, std::string caption) : TComponent(std::move(name)), Caption(std::move(caption)) {}
    const std::string Caption;
    TItemLinks ItemLinks;
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

private:
    bool visible_ = true;
};

// Looks of the bars and status bars, from the host's toolbar style.
enum class TBarLook { Office2003, Flat, Enhanced, XP };
enum class TStatusBarLook { Office2003, Flat, Standard, XP };

class TBarManager : public TComponent {
public:
    using TComponent::TComponent;
    void AddBar(TBar& bar) { bars_.push_back(&bar); }
    const std::vector<TBar*>& Bars() const { return bars_; }
    TBarLook Style() const { return style_; }
    void SetStyle(TBarLook style);

private:
    std::vector<TBar*> bars_;
    TBarLook style_ = TBarLook::Office2003;
};

// ---- Editors ----------------------------------------------------------------

// A static text of a bar.
class TBarStatic : public TControl {
public:
    using TControl::TControl;
};

enum class TEditCharCase { ecNormal, ecUpperCase };

// Single-line edit and, with multi-line on, the plain memo. A programmatic
// text change fires OnChange when the text differs, as typing does.
class TCustomEdit : public TWinControl {
public:
    TCustomEdit(std::string name, TFocusScope* scope, bool multiLine)
        : TWinControl(std::move(name), scope), multiLine_(multiLine) {}

    const std::string& Text() const { return text_; }
    int GetTextLen() const { return static_cast<int>(text_.size()); }
    void SetText(std::string_view text);
    void Clear() { SetText({}); }

    int SelStart() const { return sel_.Start; }
    int SelLength() const { return sel_.Length; }
    void SetSelStart(int start);  // collapses the selection
    void SetSelLength(int length);
    void SelectAll();
    std::string SelText() const;
    void SetSelText(std::string_view text);  // replaces the selection, caret after it

    int MaxLength = 0;  // limits typing only; 0 = none
    TEditCharCase CharCase = TEditCharCase::ecNormal;
    bool ReadOnly = false;
    TFont Font;
    TColor Color = clWindow;

    TNotifyEvent OnChange;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown;

    // User actions: a key pressed (OnKeyDown), a character typed (OnKeyPress,
    // then the control's own handling: backspace deletes, the rest is
    // inserted at the caret within MaxLength).
    void KeyDown(std::uint16_t key, TShiftState shift = 0);
    void KeyPress(char key);

protected:
    bool multiLine_;
    bool WantReturns = true;

private:
    void Replace(int start, int length, std::string_view text);
    std::string Cased(std::string_view text) const;
    std::string text_;
    TTextSelection sel_;
};

class TEdit : public TCustomEdit {
public:
    TEdit(std::string name, TFocusScope* scope) : TCustomEdit(std::move(name), scope, false) {}
};

class TMemo : public TCustomEdit {
public:
    TMemo(std::string name, TFocusScope* scope) : TCustomEdit(std::move(name), scope, true) {}
    using TCustomEdit::WantReturns;
    // Lines.Add: the text becomes a new last line.
    void LinesAdd(std::string_view line);
};

// A list-only combo: the text is the selected item's or empty.
class TComboBox : public TControl {
public:
    using TControl::TControl;
    const std::vector<std::string>& Items() const { return items_; }
    void AddItem(std::string item);
    void ClearItems();
    int IndexOf(std::string_view text) const;
    int ItemIndex() const { return itemIndex_; }
    // Programmatic selection: no change event.
    void SetItemIndex(int index);
    std::string Text() const;
    // Selects the item equal to text, or nothing.
    void SetText(std::string_view text) { SetItemIndex(IndexOf(text)); }
    TNotifyEvent OnChange;
    // The user picks an item: selection, then OnChange.
    virtual void Select(int index);

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

// A spin editor of a bar: the committed Value and the current value the
// editor's text holds while it is being edited.
class TSpinEdit : public TWinControl {
public:
    using TWinControl::TWinControl;
    int MinValue = 0, MaxValue = 0;  // no range when equal
    int Increment = 1;
    // The text takes no typing; the arrows still step.
    bool ReadOnly = false;

    int Value() const { return value_; }
    // Commits a value (clamped to the range); the text follows. No event.
    void SetValue(int value);
    const std::string& CurText() const { return curText_; }
    // The number in the text; 0 when it is not a number.
    double CurValue() const;
    TNotifyEvent OnCurChange;

    // User actions: text typed into the editor; a spin step (arrow or wheel)
    // by Increment in direction +1/-1, clamped. Both fire OnCurChange.
    void SetCurText(std::string text);
    void Step(int direction);

private:
    int Clamp(int value) const;
    int value_ = 0;
    std::string curText_ = "0";
};

// ---- Pages, status bar, timers, animation ----------------------------------

class TTabSheet : public TControl {
public:
    using TControl::TControl;
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool visible);

private:
    bool tabVisible_ = true;
};

// A page control of fixed sheets; hidden sheets keep their index. A close
// button may be shown on the active tab.
class TPageControl : public TControl {
public:
    using TControl::TControl;
    void AddPage(TTabSheet& page) { pages_.push_back(&page); }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet& Pages(int index) const { return *pages_.at(static_cast<std::size_t>(index)); }
    int ActivePageIndex() const { return active_; }
    // Programmatic: no change event.
    void SetActivePageIndex(int index);
    bool ShowCloseButton() const { return showClose_; }
    void SetShowCloseButton(bool show);
    TNotifyEvent OnChange;  // the user chose a tab
    TNotifyEvent OnClose;   // the user pressed the close button
    // User actions.
    void SelectPage(int index);
    void CloseButtonClick();

private:
    std::vector<TTabSheet*> pages_;
    int active_ = 0;
    bool showClose_ = false;
};

struct TStatusPanel {
    std::string Text;
    int Width = 50;  // -1: the rest of the bar
    bool Bold = false;
};

class TStatusBar : public TControl {
public:
    using TControl::TControl;
    void AddPanel(int width, bool bold = false, std::string text = {});
    std::size_t PanelCount() const { return panels_.size(); }
    const TStatusPanel& Panel(std::size_t i) const { return panels_.at(i); }
    void SetPanelText(std::size_t i, std::string text);
    TStatusBarLook Look() const { return look_; }
    void SetLook(TStatusBarLook look);

private:
    std::vector<TStatusPanel> panels_;
    TStatusBarLook look_ = TStatusBarLook::Office2003;
};

// A timer on the UI thread. It runs while enabled, with a non-zero interval
// and a handler; enabling a running timer does not restart it, a new
// interval does.
class TTimer : public TComponent {
public:
    TTimer(std::string name, IDispatcher* dispatcher) : TComponent(std::move(name)), dispatcher_(dispatcher) {}
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    std::uint32_t Interval() const { return interval_; }
    void SetInterval(std::uint32_t ms);
    void SetOnTimer(TNotifyEvent handler);
    bool Running() const { return id_ != 0; }

private:
    void Update();
    IDispatcher* dispatcher_;
    bool enabled_ = true;
    std::uint32_t interval_ = 1000;
    TNotifyEvent onTimer_;
    IDispatcher::TimerId id_ = 0;
};

// An animation playing a clip of the module's resources.
class TAnimate : public TControl {
public:
    using TControl::TControl;
    int ResId() const { return resId_; }
    // Throws std::runtime_error "Ошибка открытия AVI" when no clip has the id.
    void SetResId(int id);
    bool Active() const { return active_; }
    void SetActive(bool active);
    // Clips the module carries.
    std::vector<int> AvailableClips{100};

private:
    int resId_ = 0;
    bool active_ = false;
};

}  // namespace quorvel
