#include "ui/Automation.h"

#include <exception>
#include <functional>
#include <sstream>
#include <utility>
#include <vector>

#include "base/CodePage.h"
#include "pavo/automation.h"
#include "ui/Controls.h"

namespace quorvel {

void TAutomation::AddVerb(const std::string& verb, Verb handler) { verbs_[verb] = std::move(handler); }

void TAutomation::AddDescriber(Describer describer) { describers_.push_back(std::move(describer)); }

void TAutomation::SetAttribute(pugi::xml_node node, const char* name, const std::string& cp1251) {
    node.append_attribute(name).set_value(Cp1251ToUtf8(cp1251).c_str());
}

void TAutomation::SetText(pugi::xml_node node, const std::string& cp1251) {
    if (!cp1251.empty()) node.text().set(Cp1251ToUtf8(cp1251).c_str());
}

TAutomationResult TAutomation::Done(std::string reply) { return {PAVO_AUTOMATION_DONE, std::move(reply)}; }

TAutomationResult TAutomation::Refused(std::string reason) { return {PAVO_AUTOMATION_REFUSED, std::move(reason)}; }

TAutomationResult TAutomation::UnknownTarget(const std::string& target) {
    return {PAVO_AUTOMATION_UNKNOWN_TARGET, "no control \"" + target + "\""};
}

std::string TAutomation::Describe() const {
    pugi::xml_document doc;
    pugi::xml_node window = doc.append_child("window");
    for (const auto& describe : describers_) describe(window);
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    // A reader normalises a bare CR LF to LF; as a character reference the
    // CR of the panes' line breaks reaches it.
    std::string text;
    for (char c : out.str()) {
        if (c == '\r')
            text += "&#13;";
        else
            text += c;
    }
    return text;
}

TAutomationResult TAutomation::Run(const std::string& verb, const std::string& target,
                                   const std::string& argument) const {
    if (verb == "describe") return Done(Describe());
    auto it = verbs_.find(verb);
    if (it == verbs_.end()) return {PAVO_AUTOMATION_UNKNOWN_VERB, "no verb \"" + verb + "\""};
    // A menu that a verb pops up (a release in a pane opens the capture menu)
    // is only noted for the next pick: a view's modal menu would wait for a
    // mouse that is not there.
    std::vector<std::pair<TPopupMenu*, std::function<void(TPopupMenu&, TPoint)>>> views;
    for (TComponent* c : controls_)
        if (auto* menu = dynamic_cast<TPopupMenu*>(c)) {
            views.emplace_back(menu, std::move(menu->Runner));
            menu->Runner = [this](TPopupMenu& shown, TPoint) { lastMenu_ = &shown; };
        }
    struct TRestore {
        decltype(views)& Saved;
        ~TRestore() {
            for (auto& [menu, runner] : Saved) menu->Runner = std::move(runner);
        }
    } restore{views};
    return it->second(target, argument);
}

std::intptr_t TAutomation::Handle(const TMessage& message) const {
    const auto* request = reinterpret_cast<const PavoAutomationRequest*>(message.WParam);
    if (request == nullptr || request->Size < sizeof(PavoAutomationRequest) || request->Verb == nullptr)
        return PAVO_AUTOMATION_BAD_REQUEST;
    TAutomationResult result;
    try {
        result = Run(request->Verb, request->Target != nullptr ? request->Target : "",
                     request->Argument != nullptr ? request->Argument : "");
    } catch (const std::exception& e) {
        // Nothing may unwind through the host's SendMessage.
        result = Refused(e.what());
    } catch (...) {
        result = Refused("failed");
    }
    if (request->Reply != nullptr && !result.Reply.empty())
        request->Reply(request->ReplyContext, result.Reply.c_str(), static_cast<std::int32_t>(result.Reply.size()));
    return result.Code;
}

}  // namespace quorvel

