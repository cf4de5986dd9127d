#pragma once
// Operating a window by message (pavo/automation.h): the verbs the window
// offers and the parts of its description, registered by the subsystems that
// own the controls, so each later subsystem only adds its own.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "ports/WindowSystem.h"

namespace quorvel {

class TComponent;
class TPopupMenu;

struct TAutomationResult {
    int Code = 0;       // PAVO_AUTOMATION_*
    std::string Reply;  // cp1251; the description is UTF-8 XML
};

class TAutomation {
public:
    // target and argument are cp1251.
    using Verb = std::function<TAutomationResult(const std::string& target, const std::string& argument)>;
    // Adds attributes to the window element or appends control elements to it.
    using Describer = std::function<void(pugi::xml_node window)>;

    // A later registration of the same verb replaces the earlier one.
    void AddVerb(const std::string& verb, Verb handler);
    // Describers run in registration order.
    void AddDescriber(Describer describer);
    // A control of the form model, acted on by the verbs its kind offers:
    // type into edits, memos and spin editors; key in edits; click buttons,
    // panes (at a caret position) and other controls; popup on a control with
    // a pop-up menu; select in combos and tabs; set edits and spin editors;
    // pick items of menus. Bars, pop-up menus and toolbars also lend their
    // items (by name or caption) to the verbs. Described controls appear in
    // the description in registration order (edits, memos, panes with their
    // colour runs, buttons, combos, spin editors, tabs, status bars, labels,
    // toolbars, group boxes). The control must outlive the automation's use.
    void AddControl(TComponent& control, bool described = true);

    TAutomationResult Run(const std::string& verb, const std::string& target, const std::string& argument) const;
    // The description document, UTF-8.
    std::string Describe() const;
    // The window-procedure side: decodes the request record, runs it, replies.
    std::intptr_t Handle(const TMessage& message) const;

    // The description is UTF-8; the system's text is cp1251.
    static void SetAttribute(pugi::xml_node node, const char* name, const std::string& cp1251);
    static void SetText(pugi::xml_node node, const std::string& cp1251);

    static TAutomationResult Done(std::string reply = {});
    static TAutomationResult Refused(std::string reason);
    static TAutomationResult UnknownTarget(const std::string& target);

private:
    void AddControlVerbs();
    TComponent* FindControl(const std::string& target) const;
    TAutomationResult Pick(const std::string& menu, const std::string& caption) const;

    std::map<std::string, Verb> verbs_;
    std::vector<Describer> describers_;
    std::vector<TComponent*> controls_;
    mutable TPopupMenu* lastMenu_ = nullptr;  // the menu popped up last
};

}  // namespace quorvel
