// Automation of the form model's controls: how each kind of control is
// described and which verbs act on it (ui/Automation.h, AddControl).
#include <charconv>
#include <cstdio>
#include <utility>

#include "pavo/automation.h"
#include "ui/Automation.h"
#include "ui/Controls.h"
#include "ui/RichEdit.h"

namespace quorvel {
namespace {

constexpr std::uint16_t kVkBack = 0x08;
constexpr std::uint16_t kVkReturn = 0x0D;

// "#RRGGBB" for an RGB colour, "sys5" for system colour 5.
std::string ColourName(TColor color) {
    const auto value = static_cast<std::uint32_t>(color);
    char text[16];
    if ((value & 0xFF000000u) == 0xFF000000u)
        std::snprintf(text, sizeof text, "sys%u", value & 0xFFu);
    else
        std::snprintf(text, sizeof text, "#%02X%02X%02X", value & 0xFFu, (value >> 8) & 0xFFu, (value >> 16) & 0xFFu);
    return text;
}

std::string FontName(const TFont& font) {
    std::string text = font.Name + " " + std::to_string(font.Size);
    if (font.Style.Contains(TFontStyle::fsBold)) text += " bold";
    if (font.Style.Contains(TFontStyle::fsItalic)) text += " italic";
    if (font.Style.Contains(TFontStyle::fsUnderline)) text += " underline";
    if (font.Style.Contains(TFontStyle::fsStrikeOut)) text += " strikeout";
    return text;
}

// What a text window looks like: its font (and its colour where the text
// has one colour) on its background.
void LookAttributes(pugi::xml_node node, const TFont& font, const TColor* text, TColor background) {
    TAutomation::SetAttribute(node, "font", FontName(font));
    if (text != nullptr) node.append_attribute("colour").set_value(ColourName(*text).c_str());
    node.append_attribute("background").set_value(ColourName(background).c_str());
}

void CommonAttributes(pugi::xml_node node, const TComponent& component) {
    TAutomation::SetAttribute(node, "name", component.Name);
    if (const auto* control = dynamic_cast<const TControl*>(&component)) {
        if (!control->Caption().empty()) TAutomation::SetAttribute(node, "caption", control->Caption());
        if (!control->Enabled()) node.append_attribute("enabled").set_value(0);
        if (!control->Visible()) node.append_attribute("visible").set_value(0);
    }
}

void DescribePane(pugi::xml_node pane, const TRichEdit& edit) {
    const std::string& text = edit.Text();
    const auto& runs = edit.ColorRuns();
    std::size_t run = 0;
    int position = 0;
    const int length = edit.GetTextLen();
    while (position < length) {
        while (run + 1 < runs.size() && runs[run + 1].Start <= position) ++run;
        const int runEnd = run + 1 < runs.size() ? runs[run + 1].Start : length;
        pugi::xml_node node = pane.append_child("run");
        if (!runs.empty()) node.append_attribute("colour").set_value(ColourName(runs[run].Color).c_str());
        std::string piece;
        for (; position < runEnd; ++position) {
            if (edit.IsPicture(position)) {
                if (!piece.empty()) TAutomation::SetText(node, piece);
                piece.clear();
                pane.append_child("picture");
                node = pane.append_child("run");
                if (!runs.empty()) node.append_attribute("colour").set_value(ColourName(runs[run].Color).c_str());
                continue;
            }
            piece += text[static_cast<std::size_t>(position)];
        }
        if (!piece.empty())
            TAutomation::SetText(node, piece);
        else
            pane.remove_child(node);
    }
}

void DescribeControl(pugi::xml_node window, TComponent& component) {
    pugi::xml_node node;
    if (auto* pane = dynamic_cast<TRichEdit*>(&component)) {
        node = window.append_child("pane");
        CommonAttributes(node, component);
        if (pane->Focused()) node.append_attribute("focused").set_value(1);
        LookAttributes(node, pane->DefAttributes, nullptr, pane->Color);
        DescribePane(node, *pane);
        return;
    }
    if (auto* edit = dynamic_cast<TCustomEdit*>(&component)) {
        node = window.append_child(dynamic_cast<TMemo*>(edit) != nullptr ? "memo" : "edit");
        CommonAttributes(node, component);
        if (edit->Focused()) node.append_attribute("focused").set_value(1);
        if (auto* memo = dynamic_cast<TMemo*>(edit)) LookAttributes(node, memo->Font, &memo->Font.Color, memo->Color);
        TAutomation::SetText(node, edit->Text());
    } else if (auto* spin = dynamic_cast<TSpinEdit*>(&component)) {
        node = window.append_child("spin");
        CommonAttributes(node, component);
        TAutomation::SetText(node, spin->CurText());
    } else if (auto* combo = dynamic_cast<TComboBox*>(&component)) {
        node = window.append_child("combo");
        CommonAttributes(node, component);
        node.append_attribute("items").set_value(static_cast<int>(combo->Items().size()));
        TAutomation::SetText(node, combo->Text());
    } else if (auto* button = dynamic_cast<TButtonItem*>(&component)) {
        node = window.append_child("button");
        CommonAttributes(node, component);
        if (button->ButtonStyle == TButtonStyle::bsChecked) node.append_attribute("down").set_value(button->Down() ? 1 : 0);
    } else if (auto* pages = dynamic_cast<TPageControl*>(&component)) {
        node = window.append_child("tabs");
        CommonAttributes(node, component);
        for (int i = 0; i < pages->PageCount(); ++i) {
            const TTabSheet& page = pages->Pages(i);
            if (!page.TabVisible()) continue;
            pugi::xml_node tab = node.append_child("tab");
            TAutomation::SetText(tab, page.Caption());
        }
        if (pages->ActivePageIndex() >= 0 && pages->ActivePageIndex() < pages->PageCount())
            TAutomation::SetAttribute(node, "active", pages->Pages(pages->ActivePageIndex()).Caption());
    } else if (auto* status = dynamic_cast<TStatusBar*>(&component)) {
        node = window.append_child("statusbar");
        CommonAttributes(node, component);
        for (std::size_t i = 0; i < status->PanelCount(); ++i) TAutomation::SetText(node.append_child("panel"), status->Panel(i).Text);
    } else if (auto* toolbar = dynamic_cast<TToolBar*>(&component)) {
        node = window.append_child("toolbar");
        CommonAttributes(node, component);
        for (int i = 0; i < toolbar->ButtonCount(); ++i) TAutomation::SetText(node.append_child("item"), toolbar->Buttons(i).Caption());
    } else if (dynamic_cast<TGroupBox*>(&component) != nullptr) {
        node = window.append_child("group");
        CommonAttributes(node, component);
    } else if (auto* label = dynamic_cast<TLabel*>(&component)) {
        node = window.append_child("label");
        TAutomation::SetAttribute(node, "name", label->Name);
        if (!label->Visible()) node.append_attribute("visible").set_value(0);
        TAutomation::SetText(node, label->Caption());
    } else {
        node = window.append_child("control");
        CommonAttributes(node, component);
    }
}

bool Usable(const TControl& control) { return control.EnabledInWindow() && control.Visible(); }

TAutomationResult NotUsable(const TComponent& component) {
    return TAutomation::Refused("\"" + component.Name + "\" is disabled or hidden");
}

bool ParsePosition(const std::string& text, int& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && out >= 0;
}

// Captions may carry the accelerator mark: "&Вид" is "Вид".
std::string WithoutAccelerator(const std::string& caption) {
    std::string out;
    for (char c : caption)
        if (c != '&') out += c;
    return out;
}

bool Matches(const TComponent& component, const std::string& target, bool byCaption) {
    if (!byCaption) return component.Name == target;
    const auto* control = dynamic_cast<const TControl*>(&component);
    return control != nullptr && !control->Caption().empty() &&
           (control->Caption() == target || WithoutAccelerator(control->Caption()) == target);
}

TComponent* FindInLinks(const TItemLinks& links, const std::string& target, bool byCaption) {
    for (const TItemLink& link : links.Links()) {
        if (Matches(*link.Item, target, byCaption)) return link.Item;
        if (auto* sub = dynamic_cast<TSubItem*>(link.Item))
            if (TComponent* found = FindInLinks(sub->ItemLinks, target, byCaption)) return found;
    }
    return nullptr;
}

// An item of a container: a bar, pop-up menu, submenu or toolbar.
TComponent* FindItem(TComponent& container, const std::string& target, bool byCaption) {
    if (auto* bar = dynamic_cast<TBar*>(&container)) return FindInLinks(bar->ItemLinks, target, byCaption);
    if (auto* menu = dynamic_cast<TPopupMenu*>(&container)) return FindInLinks(menu->ItemLinks, target, byCaption);
    if (auto* sub = dynamic_cast<TSubItem*>(&container)) return FindInLinks(sub->ItemLinks, target, byCaption);
    if (auto* toolbar = dynamic_cast<TToolBar*>(&container))
        for (int i = 0; i < toolbar->ButtonCount(); ++i)
            if (Matches(toolbar->Buttons(i), target, byCaption)) return &toolbar->Buttons(i);
    return nullptr;
}

}  // namespace

TComponent* TAutomation::FindControl(const std::string& target) const {
    if (target.empty()) return nullptr;
    // By name, then by caption; registered controls first, then the items of
    // registered bars, menus and toolbars.
    for (const bool byCaption : {false, true}) {
        for (TComponent* c : controls_)
            if (Matches(*c, target, byCaption)) return c;
        for (TComponent* c : controls_)
            if (TComponent* item = FindItem(*c, target, byCaption)) return item;
    }
    return nullptr;
}

void TAutomation::AddControl(TComponent& control, bool described) {
    if (controls_.empty()) AddControlVerbs();
    controls_.push_back(&control);
    if (auto* menu = dynamic_cast<TPopupMenu*>(&control)) {
        // Without a view to show it, pick chooses from the menu that popped up
        // last; a view installs its own runner.
        if (!menu->Runner) menu->Runner = [this](TPopupMenu& shown, TPoint) { lastMenu_ = &shown; };
    }
    if (described)
        describers_.push_back([component = &control](pugi::xml_node window) { DescribeControl(window, *component); });
}

TAutomationResult TAutomation::Pick(const std::string& menuName, const std::string& caption) const {
    std::vector<TPopupMenu*> menus;
    if (!menuName.empty()) {
        auto* menu = dynamic_cast<TPopupMenu*>(FindControl(menuName));
        if (menu == nullptr) return UnknownTarget(menuName);
        menus.push_back(menu);
    } else {
        if (lastMenu_ != nullptr) menus.push_back(lastMenu_);
        for (TComponent* c : controls_)
            if (auto* menu = dynamic_cast<TPopupMenu*>(c); menu != nullptr && menu != lastMenu_) menus.push_back(menu);
    }
    for (TPopupMenu* menu : menus)
        if (TComponent* item = FindInLinks(menu->ItemLinks, caption, true)) {
            auto* button = dynamic_cast<TButtonItem*>(item);
            if (button == nullptr) return Refused("\"" + caption + "\" opens a submenu");
            if (!Usable(*button)) return NotUsable(*button);
            button->Click();
            return Done();
        }
    return {PAVO_AUTOMATION_UNKNOWN_TARGET, "no menu item \"" + caption + "\""};
}

void TAutomation::AddControlVerbs() {
    AddVerb("type", [this](const std::string& target, const std::string& text) {
        TComponent* c = FindControl(target);
        if (c == nullptr) return UnknownTarget(target);
        if (auto* edit = dynamic_cast<TCustomEdit*>(c)) {
            if (!Usable(*edit)) return NotUsable(*edit);
            if (!edit->Focused()) {
                // Entering a field from the keyboard selects its text, as the
                // framework's edits do; typing into a memo goes on at its end.
                edit->SetFocus();
                if (dynamic_cast<TMemo*>(edit) != nullptr)
                    edit->SetSelStart(edit->GetTextLen());
                else
                    edit->SelectAll();
            }
            for (char ch : text) {
                // A key a handler takes (sets to 0) types nothing, as in the framework.
                std::uint16_t key = ch == '\r' ? kVkReturn : ch == '\b' ? kVkBack : std::uint16_t{0};
                if (key != 0 && edit->OnKeyDown) edit->OnKeyDown(edit, key, 0);
                if (key != 0 || (ch != '\r' && ch != '\b')) edit->KeyPress(ch);
            }
            return Done();
        }
        if (auto* spin = dynamic_cast<TSpinEdit*>(c)) {
            if (!Usable(*spin)) return NotUsable(*spin);
            if (spin->ReadOnly) return Refused("\"" + spin->Name + "\" takes no typing, only its arrows");
            spin->SetFocus();
            spin->SetCurText(spin->CurText() + text);
            return Done();
        }
        return Refused("\"" + c->Name + "\" takes no typing");
    });
    AddVerb("key", [this](const std::string& target, const std::string& key) {
        if (target.empty()) return Refused("name the control that has the focus");
        auto* edit = dynamic_cast<TCustomEdit*>(FindControl(target));
        if (edit == nullptr) return FindControl(target) == nullptr ? UnknownTarget(target) : Refused("no keys here");
        const TShortCut shortCut = TextToShortCut(key);
        if (shortCut == 0) return Refused("no key \"" + key + "\"");
        if (!Usable(*edit)) return NotUsable(*edit);
        TShiftState shift = 0;
        if (shortCut & scShift) shift |= ssShift;
        if (shortCut & scCtrl) shift |= ssCtrl;
        if (shortCut & scAlt) shift |= ssAlt;
        edit->SetFocus();
        edit->KeyDown(shortCut & 0xFF, shift);
        return Done();
    });
    AddVerb("click", [this](const std::string& target, const std::string& argument) {
        TComponent* c = FindControl(target);
        if (c == nullptr) return UnknownTarget(target);
        if (auto* pane = dynamic_cast<TRichEdit*>(c)) {
            int position = 0;
            if (!ParsePosition(argument, position) || position > pane->GetTextLen())
                return Refused("a click in a pane needs a position from 0 to " + std::to_string(pane->GetTextLen()));
            if (!Usable(*pane)) return NotUsable(*pane);
            pane->ClickAt(position);
            pane->MouseUp(TMouseButton::mbLeft, 0, 0, 0);
            return Done();
        }
        if (auto* button = dynamic_cast<TButtonItem*>(c)) {
            if (!Usable(*button)) return NotUsable(*button);
            // Pressed and let go, as the mouse does: a button may act on either.
            button->MouseDown(TMouseButton::mbLeft, 0, 0, 0);
            button->MouseUp(TMouseButton::mbLeft, 0, 0, 0);
            button->Click();
            return Done();
        }
        if (auto* control = dynamic_cast<TControl*>(c)) {
            if (!Usable(*control)) return NotUsable(*control);
            control->MouseDown(TMouseButton::mbLeft, 0, 0, 0);
            control->MouseUp(TMouseButton::mbLeft, 0, 0, 0);
            return Done();
        }
        return Refused("\"" + c->Name + "\" cannot be clicked");
    });
    AddVerb("popup", [this](const std::string& target, const std::string& argument) {
        auto* control = dynamic_cast<TControl*>(FindControl(target));
        if (control == nullptr) return UnknownTarget(target);
        if (!Usable(*control)) return NotUsable(*control);
        if (auto* pane = dynamic_cast<TRichEdit*>(control)) {
            int position = 0;
            if (ParsePosition(argument, position) && position <= pane->GetTextLen()) pane->ClickAt(position, TMouseButton::mbRight);
        } else {
            // A position is the x of the press (a spectrum display takes it in Hz).
            int x = 0;
            if (!argument.empty() && !ParsePosition(argument, x)) return Refused("the position must be a whole number");
            // A menu the press opens is picked from by the script, not held
            // open by the view waiting for the mouse.
            std::vector<std::pair<TPopupMenu*, std::function<void(TPopupMenu&, TPoint)>>> saved;
            for (TComponent* c : controls_)
                if (auto* menu = dynamic_cast<TPopupMenu*>(c)) {
                    saved.emplace_back(menu, std::move(menu->Runner));
                    menu->Runner = [this](TPopupMenu& shown, TPoint) { lastMenu_ = &shown; };
                }
            control->MouseDown(TMouseButton::mbRight, 0, x, 0);
            for (auto& [menu, runner] : saved) menu->Runner = std::move(runner);
        }
        control->MouseUp(TMouseButton::mbRight, 0, 0, 0);
        if (control->PopupMenu != nullptr) control->PopupMenu->Popup(TPoint{});
        return Done();
    });
    AddVerb("pick", [this](const std::string& menu, const std::string& caption) { return Pick(menu, caption); });
    AddVerb("select", [this](const std::string& target, const std::string& item) {
        TComponent* c = FindControl(target);
        if (c == nullptr) return UnknownTarget(target);
        if (auto* combo = dynamic_cast<TComboBox*>(c)) {
            const int index = combo->IndexOf(item);
            if (index < 0) return Refused("\"" + item + "\" is not in the list");
            if (!Usable(*combo)) return NotUsable(*combo);
            combo->Select(index);
            return Done();
        }
        if (auto* pages = dynamic_cast<TPageControl*>(c)) {
            for (int i = 0; i < pages->PageCount(); ++i)
                if (pages->Pages(i).Caption() == item && pages->Pages(i).TabVisible()) {
                    if (!Usable(*pages)) return NotUsable(*pages);
                    pages->SelectPage(i);
                    return Done();
                }
            return Refused("no tab \"" + item + "\" is shown");
        }
        return Refused("\"" + c->Name + "\" has nothing to select");
    });
    AddVerb("set", [this](const std::string& target, const std::string& value) {
        TComponent* c = FindControl(target);
        if (c == nullptr) return UnknownTarget(target);
        if (auto* spin = dynamic_cast<TSpinEdit*>(c)) {
            if (!Usable(*spin)) return NotUsable(*spin);
            if (spin->ReadOnly) {
                // Only what the arrows reach: whole steps from the value shown, within the range.
                int wanted = 0;
                const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), wanted);
                const int from = static_cast<int>(spin->CurValue());
                const int step = spin->Increment > 0 ? spin->Increment : 1;
                if (ec != std::errc() || end != value.data() + value.size() || (wanted - from) % step != 0 ||
                    (spin->MaxValue > spin->MinValue && (wanted < spin->MinValue || wanted > spin->MaxValue)))
                    return Refused("\"" + spin->Name + "\" only steps by " + std::to_string(step) + " from " +
                                   std::to_string(from));
                while (static_cast<int>(spin->CurValue()) != wanted) spin->Step(wanted > from ? 1 : -1);
                return Done();
            }
            spin->SetCurText(value);
            return Done();
        }
        if (auto* edit = dynamic_cast<TCustomEdit*>(c)) {
            if (!Usable(*edit)) return NotUsable(*edit);
            edit->SetText(value);
            return Done();
        }
        return Refused("\"" + c->Name + "\" has no value to set");
    });
}

}  // namespace quorvel
