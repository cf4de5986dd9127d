// Arbitrary automation requests sent to a live main window the way the host
// sends them: a record of any size, verb, target and argument of any bytes
// (NUL-separated in the input; a leading byte picks a known verb or none),
// the reply taken and checked.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzWindow.h"
#include "pavo/automation.h"

namespace {

void TakeReply(void* context, const char* text, std::int32_t size) {
    if (size < 0 || (size > 0 && text == nullptr)) std::abort();
    ++*static_cast<int*>(context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    static const char* const kVerbs[] = {"describe", "close", "type", "key", "click",
                                         "popup", "pick", "select", "set"};
    fuzzing::TFuzzWindow w;
    std::vector<std::string> words{""};
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back().push_back(static_cast<char>(data[i]));
        }
    }
    // Requests of four words: how, verb, target, argument.
    for (std::size_t k = 0; k < words.size(); k += 4) {
        if (w.library->MainForm == nullptr) break;
        auto word = [&](std::size_t n) -> const std::string& {
            static const std::string none;
            return k + n < words.size() ? words[k + n] : none;
        };
        const std::uint8_t how = word(0).empty() ? 0 : static_cast<std::uint8_t>(word(0)[0]);
        std::string verb = word(1);
        if ((how & 0xF) < std::size(kVerbs)) verb = kVerbs[how & 0xF];
        int replies = 0;
        PavoAutomationRequest request{};
        request.Size = (how & 0x10) ? static_cast<std::uint32_t>(how % sizeof request) : sizeof request;
        request.Verb = (how & 0x20) ? nullptr : verb.c_str();
        request.Target = (how & 0x40) ? nullptr : word(2).c_str();
        request.Argument = word(3).c_str();
        request.Reply = (how & 0x80) ? nullptr : TakeReply;
        request.ReplyContext = &replies;
        const std::intptr_t code = w.sim.Windows.SendMessage(
            w.window, PAVO_MSG_AUTOMATION, reinterpret_cast<std::uintptr_t>(&request), 0);
        if (replies > 1) std::abort();  // at most once
        const bool bad = request.Size < sizeof request || request.Verb == nullptr;
        if (bad && (code != PAVO_AUTOMATION_BAD_REQUEST || replies != 0)) std::abort();
        if (code != PAVO_AUTOMATION_DONE && (code < PAVO_AUTOMATION_BAD_REQUEST || code > 0)) std::abort();
        w.sim.Dispatcher.Advance(50);
    }
    return 0;
}
