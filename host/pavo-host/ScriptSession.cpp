#include "ScriptSession.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Adif.h"
#include "Description.h"
#include "HostFiles.h"
#include "HostText.h"
#include "MacroTable.h"
#include "pavo/automation.h"
#include "ui/Controls.h"

namespace pavohost {
namespace {

constexpr std::int64_t kIdleLimitMs = 10 * 60 * 1000;
constexpr std::int64_t kIdleStepMs = 1;  // idle is noticed the moment it begins

}  // namespace


TScriptSession::TScriptSession(THost& host, ISessionDesktop& desktop, TTranscript& transcript,
                                   TSessionOptions options)
    : host_(host), desktop_(desktop), transcript_(transcript), options_(std::move(options)) {
    host_.Transceiver().OnReceive = [this] { FlushOnAir(); };
    lastQso_ = QsoFields();
}

void TScriptSession::Fail(const std::string& message) const {
    throw THostError(kExitSessionFailed, options_.ScriptName + ":" + std::to_string(line_) + ": " + message);
}

void TScriptSession::Play(const std::vector<TScriptCommand>& commands) {
    for (const auto& c : commands) {
        line_ = c.Line;
        Step(c);
        if (TEngineSimulation* engines = host_.Engines(); engines != nullptr && engines->Available()) {
            const std::string refused = engines->AttachAudio();
            if (!refused.empty()) Fail(refused);
            for (const std::string& line : engines->TakeSoundReport()) transcript_.HostEvent("modem engine", line);
        }
        // The UI thread runs what the step queued before the next one begins.
        Advance(0);
        FlushOnAir();
        ReportQsoChanges();
    }
}

void TScriptSession::Advance(std::int64_t ms) {
    // In short slices, so what the clock's timers pick up (a real rig's
    // reports) comes when it happens.
    constexpr std::int64_t kSliceMs = 20;
    do {
        const std::int64_t step = ms < kSliceMs ? ms : kSliceMs;
        desktop_.Clock().Advance(step);
        desktop_.Turn();
        ms -= step;
    } while (ms > 0);
}

void TScriptSession::Settle() {
    Advance(0);
    FlushOnAir();
    ReportQsoChanges();
}

std::map<std::string, std::string> TScriptSession::QsoFields() {
    std::map<std::string, std::string> fields;
    for (THostControl* c : host_.NewQso().Controls()) fields[c->Label()] = c->Text();
    return fields;
}

void TScriptSession::ReportQsoChanges() {
    auto now = QsoFields();
    std::string changes;
    for (THostControl* c : host_.NewQso().Controls()) {
        const std::string& label = c->Label();
        if (now[label] != lastQso_[label]) changes += (changes.empty() ? "" : ", ") + label + " " + Shown(now[label]);
    }
    lastQso_ = std::move(now);
    if (!changes.empty()) transcript_.HostEvent("new-QSO", changes);
}

void TScriptSession::FlushOnAir() {
    TEngineSimulation* engines = host_.Engines();
    if (engines == nullptr || !engines->Available()) return;
    const std::string sent = engines->TakeSent();
    if (!sent.empty()) transcript_.HostEvent("on air", Shown(sent));
}

TEngineSimulation& TScriptSession::RequireEngine() {
    TEngineSimulation* engines = host_.Engines();
    if (engines == nullptr || !engines->Available())
        Fail("remote stations need the loopback engine: " +
             (engines != nullptr ? engines->Reason() : std::string("no plug-in is loaded")));
    if (engines->CurrentEngine() < 0) Fail("no modem engine is running: the plug-in's window is not open (use run)");
    return *engines;
}

void TScriptSession::Operator(const std::string& verb, const std::string& target, const std::string& argument,
                                const std::string& shown) {
    if (!host_.PluginWindowOpen()) Fail("the plug-in's window is not open (use run)");
    std::string reply;
    const int result = host_.Automate(verb, target, argument, reply);
    std::string outcome;
    switch (result) {
        case PAVO_AUTOMATION_DONE: break;
        case PAVO_AUTOMATION_UNKNOWN_VERB: outcome = "not offered by the plug-in's window"; break;
        case PAVO_AUTOMATION_UNKNOWN_TARGET: outcome = "no such control"; break;
        case PAVO_AUTOMATION_REFUSED: outcome = "refused"; break;
        case 0: outcome = "the plug-in's window does not answer automation"; break;
        default: outcome = "failed (" + std::to_string(result) + ")"; break;
    }
    if (!outcome.empty() && !reply.empty()) outcome += ": " + reply;
    else if (outcome.empty() && !reply.empty()) outcome = reply;
    transcript_.HostEvent("operator", shown + (outcome.empty() ? "" : " (" + outcome + ")"));
    if (options_.Strict && result != PAVO_AUTOMATION_DONE) Fail(shown + ": " + outcome);
}

void TScriptSession::PressKey(const TScriptCommand& c) {
    const std::string key = c.Args[0].Text, control = c.Args.size() > 1 ? c.Args[1].Text : "";
    const std::string shown = "key " + key + (control.empty() ? "" : " in " + control);
    if (!host_.PluginWindowOpen()) Fail("the plug-in's window is not open (use run)");
    // As from a keyboard: the thread's message hook sees the key first (the
    // plug-in's macro shortcuts look there), then the control with the focus
    // gets it. The message carries the key alone, as WM_KEYDOWN does.
    const quorvel::TShortCut shortCut = quorvel::TextToShortCut(ToCp1251(key));
    if (shortCut != 0 && host_.ActivatePluginWindow()) {
        desktop_.Turn();  // a window system activates a window in its own time
        if (host_.PostKeyDown(shortCut & 0xFF)) Advance(0);
    }
    if (!control.empty()) {
        Operator("key", control, key, shown);
        return;
    }
    transcript_.HostEvent("operator", shown + (shortCut == 0 ? " (no such key)" : ""));
    if (options_.Strict && shortCut == 0) Fail(shown + ": no such key");
}

void TScriptSession::ClickWord(const TScriptCommand& c) {
    const std::string pane = c.Args[0].Text, word = c.Args[1].Text;
    const std::string shown = "click-word " + pane + " " + Shown(word) + (c.Number > 1 ? " " + std::to_string(c.Number) : "");
    if (!host_.PluginWindowOpen()) Fail("the plug-in's window is not open (use run)");
    std::string reply;
    pugi::xml_document doc;
    pugi::xml_node element;
    if (host_.Automate("describe", "", "", reply) == PAVO_AUTOMATION_DONE && LoadDescription(doc, reply))
        element = FindDescribed(doc.document_element(), pane);
    if (!element) {
        transcript_.HostEvent("operator", shown + " (the plug-in's window shows no pane " + pane + ")");
        if (options_.Strict) Fail(shown + ": no pane " + pane);
        return;
    }
    // Positions count characters as the pane does: cp1251 bytes, a picture one.
    std::string text;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata) text += ToCp1251(child.value());
        else if (std::string(child.name()) == "picture") text += '\x01';
        else if (std::string(child.name()) == "run") text += ToCp1251(child.text().get());
    }
    const std::string needle = ToCp1251(word);
    std::size_t at = std::string::npos, from = 0;
    for (std::int64_t n = 0; n < c.Number; ++n) {
        at = text.find(needle, from);
        if (at == std::string::npos) break;
        from = at + 1;
    }
    if (at == std::string::npos) {
        transcript_.HostEvent("operator", shown + " (not in the pane)");
        if (options_.Strict) Fail(shown + ": the word is not in the pane");
        return;
    }
    const std::size_t position = at + (needle.size() + 1) / 2;
    Operator("click", pane, std::to_string(position), shown + " at " + std::to_string(position));
}

void TScriptSession::Show(const std::string& what) {
    if (what == "qso") return ShowQso();
    if (what == "log") return ShowLog();
    if (what == "engine") return ShowEngine();
    if (!host_.PluginWindowOpen()) {
        transcript_.HostEvent("show", "the plug-in's window is not open");
        return;
    }
    std::string reply;
    const int result = host_.Automate("describe", "", "", reply);
    pugi::xml_document doc;
    if (result != PAVO_AUTOMATION_DONE || !LoadDescription(doc, reply)) {
        transcript_.HostEvent("show", "the plug-in's window does not describe itself");
        if (options_.Strict) Fail("the plug-in's window does not describe itself");
        return;
    }
    pugi::xml_node element = doc.document_element();
    if (!what.empty()) {
        element = FindDescribed(element, what);
        if (!element) {
            transcript_.HostEvent("show", "the plug-in's window shows no control " + what);
            if (options_.Strict) Fail("no control " + what);
            return;
        }
    }
    transcript_.HostEvent("show", "the plug-in's window");
    for (const auto& line : RenderDescription(element)) transcript_.Line("    " + line);
}

void TScriptSession::ShowQso() {
    TNewQsoWindow& qso = host_.NewQso();
    std::string state = host_.NewQsoOpen() ? "open" : "closed";
    if (qso.EnabledForPlugin()) state += ", linked to the plug-in";
    transcript_.HostEvent("show", "the host's new-QSO window (" + state + ")");
    for (THostControl* c : qso.Controls())
        if (!c->Text().empty()) transcript_.Line("    " + c->Label() + ": " + Shown(c->Text()));
    if (const std::string km = qso.DistanceKm(); !km.empty()) transcript_.Line("    distance: " + km + " km");
    for (const auto& [award, value] : qso.Awards()) transcript_.Line("    award " + award + ": " + Shown(value));
}

void TScriptSession::ShowLog() {
    const TLogBook& log = host_.Log();
    transcript_.HostEvent("show", "the log " + log.File().string() + ": " + std::to_string(log.Records().size()) +
                                      (log.Records().size() == 1 ? " contact" : " contacts"));
    if (!log.Records().empty()) {
        std::string last = FormatAdifRecord(log.Records().back());
        if (!last.empty() && last.back() == '\n') last.pop_back();
        transcript_.Line("    last: " + last);
        if (const std::string intl = FormatIntlFields(log.Records().back()); !intl.empty())
            transcript_.Line("    and in " + log.XmlFile().filename().string() + ": " + intl);
    }
}

void TScriptSession::ShowEngine() {
    TEngineSimulation* engines = host_.Engines();
    if (engines == nullptr || !engines->Available() || engines->CurrentEngine() < 0) {
        transcript_.HostEvent("show", "no modem engine is running");
        return;
    }
    transcript_.HostEvent("show", std::string("the modem engine (") + (engines->Busy() ? "busy" : "idle") + ")");
    for (std::int32_t ch = 0; ch < 5; ++ch) {
        QuorvelLoopbackChannel state{};
        if (!engines->Channel(ch, state)) continue;
        char line[160];
        std::snprintf(line, sizeof line, "    channel %d: %s %g baud, carrier %d Hz, %s, S/N %.1f dB, AFC %s", ch,
                      state.Mode, state.Speed, state.RxCarrier, state.Open ? "open" : "closed", state.SignalToNoise,
                      engines->ChannelAfc(ch) == 1 ? "on" : "off");
        transcript_.Line(line);
    }
    QuorvelLoopbackFilters filters{};
    if (!engines->Filters(filters)) return;
    static const char* const kTypes[] = {"low-pass", "high-pass", "band-pass"};
    char line[200];
    if (filters.Type >= 0 && filters.Type <= 2)
        std::snprintf(line, sizeof line, "    filters: BPF%d, %s %g-%g Hz, steepness %d, %d taps", filters.Bpf + 1,
                      kTypes[filters.Type], filters.Edge1, filters.Edge2, filters.Steepness / 10, filters.Taps);
    else
        std::snprintf(line, sizeof line, "    filters: BPF%d, no custom filter", filters.Bpf + 1);
    std::string text = line;
    text += filters.NotchCount == 0 ? ", no notches" : ", notches at";
    for (std::int32_t i = 0; i < filters.NotchCount && i < QUORVEL_LOOPBACK_MAX_NOTCHES; ++i)
        text += " " + std::to_string(filters.Notches[i]) + " Hz";
    transcript_.Line(text);
}

void TScriptSession::WaitIdle(std::int64_t limitMs) {
    const std::int64_t limit = limitMs < 0 ? kIdleLimitMs : limitMs;
    const std::int64_t start = desktop_.Clock().Now();
    TEngineSimulation* engines = host_.Engines();
    for (;;) {
        Advance(0);
        const bool busy = (engines != nullptr && engines->Busy()) || host_.Transceiver().Keyed() ||
                          desktop_.Clock().PendingMessages() > 0;
        if (!busy) break;
        if (desktop_.Clock().Now() - start >= limit) {
            char text[32];
            std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(limit / 1000));
            Fail("wait idle: still receiving or transmitting after " + std::string(text));
        }
        Advance(kIdleStepMs);
    }
}

void TScriptSession::Step(const TScriptCommand& c) {
    const std::string& n = c.Name;
    auto arg = [&](std::size_t i) -> const std::string& { return c.Args[i].Text; };
    std::string error;
    if (n == "station") {
        for (std::size_t i = 0; i + 1 < c.Args.size(); i += 2)
            if (!host_.SetStation(arg(i), arg(i + 1), error)) Fail("cannot save the host settings: " + error);
        std::string shown;
        for (std::size_t i = 0; i + 1 < c.Args.size(); i += 2) shown += " " + arg(i) + " " + Shown(arg(i + 1));
        transcript_.HostEvent("host", "station" + shown);
    } else if (n == "clock") {
        host_.Clock().Set(c.Number);
        transcript_.HostEvent("host", "clock set to " + arg(0) + " " + arg(1) + " UTC");
    } else if (n == "run") {
        if (host_.Plugin() == nullptr) Fail("no plug-in is loaded");
        if (host_.Run(static_cast<std::int32_t>(c.Number)) == 0) Fail("PavoRun opened no window");
    } else if (n == "release") {
        host_.Release();
    } else if (n == "options") {
        host_.ShowOptions();
    } else if (n == "macros") {
        const std::filesystem::path file = std::filesystem::path(options_.ScriptFolder) / arg(0);
        const auto text = ReadWholeFile(file, error);
        if (!text) Fail("cannot read the macro list " + file.string() + (error.empty() ? ": no such file" : ": " + error));
        std::vector<TMacro> macros;
        try {
            macros = ParseMacroList(*text);
        } catch (const TMacroListError& e) {
            Fail(file.string() + ":" + std::to_string(e.Line) + ": " + e.what());
        }
        const std::string saved = host_.SaveMacros(macros, error);
        if (saved.empty()) Fail("the macro editor cannot save: " + error);
        transcript_.HostEvent("host", "macro editor saved " + std::to_string(macros.size()) + " macros to " + saved);
    } else if (n == "rig") {
        THostTransceiver& rig = host_.Transceiver();
        const std::string what = arg(0);
        if (what == "frequency") rig.Dial(c.Number);
        else if (what == "usb") rig.SetUpperSideband(true);
        else if (what == "lsb") rig.SetUpperSideband(false);
        else if (what == "off") rig.PowerOff();
        else rig.PowerOn();
    } else if (n == "qso") {
        const std::string what = arg(0);
        TNewQsoWindow& qso = host_.NewQso();
        if (what == "open") {
            host_.OpenNewQso();
        } else if (what == "close") {
            host_.CloseNewQso();
        } else if (what == "set") {
            ReportQsoChanges();
            transcript_.HostEvent("host operator", "types " + Shown(arg(2)) + " into the new-QSO " + arg(1));
            qso.ControlByLabel(arg(1))->Assign(arg(2));
            lastQso_[arg(1)] = arg(2);  // told already
        } else if (what == "keep-reports") {
            qso.SetKeepReports(arg(1) == "on");
            transcript_.HostEvent("host", "keep reports " + arg(1));
        } else if (what == "save") {
            transcript_.HostEvent("host operator", "presses Save in the new-QSO window");
            if (qso.Save() != 0) qso.Reset();
        } else {
            transcript_.HostEvent("host operator", "presses Reset in the new-QSO window");
            qso.Reset();
        }
    } else if (n == "awards") {
        host_.SetAwardsAvailable(arg(0) == "on");
        transcript_.HostEvent("host", std::string("award list ") + (arg(0) == "on" ? "available" : "gone"));
    } else if (n == "toolbar-style") {
        if (!host_.SetToolbarStyle(static_cast<int>(c.Number), error)) Fail("cannot save the host settings: " + error);
    } else if (n == "mouse") {
        desktop_.MoveCursor({static_cast<int>(c.Number), static_cast<int>(c.Number2)});
        host_.MoveCursor(static_cast<int>(c.Number), static_cast<int>(c.Number2));
    } else if (n == "answer") {
        const std::string what = arg(0);
        if (what == "input") {
            if (!c.Args[1].Quoted && arg(1) == "cancel")
                desktop_.ScriptedAnswers().Inputs.push_back(std::nullopt);
            else
                desktop_.ScriptedAnswers().Inputs.push_back(arg(1));
        } else if (what == "wizard") {
            desktop_.ScriptedAnswers().FormAnswers.push_back(arg(1) == "finish" ? "finish" : "cancel");
        } else if (what == "options") {
            auto& queue = desktop_.ScriptedAnswers().OptionsAnswers;
            if (queue.empty() || !queue.back().Close.empty()) queue.emplace_back();
            const std::string& action = arg(1);
            if (!c.Args[1].Quoted && (action == "ok" || action == "cancel"))
                queue.back().Close = action;
            else
                queue.back().Actions.push_back({action, arg(2), c.Args.size() > 3 ? arg(3) : std::string()});
        } else if (what == "dialog") {
            desktop_.ScriptedAnswers().ModalResults.push_back(arg(1) == "ok" ? quorvel::IDOK : quorvel::IDCANCEL);
        } else if (what == "file" || what == "colour" || what == "font") {
            TScriptedDialogs& answers = desktop_.ScriptedAnswers();
            const bool cancel = !c.Args[1].Quoted && arg(1) == "cancel";
            if (what == "file") {
                answers.Files.push_back(cancel ? std::nullopt
                                               : std::optional<std::string>(
                                                     (std::filesystem::path(options_.ScriptFolder) / arg(1)).string()));
            } else if (what == "colour") {
                answers.Colours.push_back(cancel ? std::nullopt
                                                 : std::optional<quorvel::TColor>(static_cast<quorvel::TColor>(c.Number)));
            } else if (cancel) {
                answers.Fonts.push_back(std::nullopt);
            } else {
                quorvel::TFont font;
                font.Name = ToCp1251(arg(1));
                font.Size = static_cast<int>(c.Number);
                font.Color = static_cast<quorvel::TColor>(c.Number2);
                for (std::size_t i = 3; i < c.Args.size(); ++i) {
                    if (arg(i) == "bold") font.Style.Include(quorvel::TFontStyle::fsBold);
                    else if (arg(i) == "italic") font.Style.Include(quorvel::TFontStyle::fsItalic);
                    else if (arg(i) == "underline") font.Style.Include(quorvel::TFontStyle::fsUnderline);
                    else if (arg(i) == "strikeout") font.Style.Include(quorvel::TFontStyle::fsStrikeOut);
                }
                answers.Fonts.push_back(font);
            }
        } else {
            desktop_.ScriptedAnswers().Answers.push_back(what == "ok" ? quorvel::IDOK
                                               : what == "cancel" ? quorvel::IDCANCEL
                                               : what == "yes" ? quorvel::IDYES
                                                                : quorvel::IDNO);
        }
    } else if (n == "remote") {
        TEngineSimulation& engines = RequireEngine();
        const auto channel = static_cast<std::int32_t>(c.Number);
        QuorvelLoopbackChannel state{};
        engines.Channel(channel, state);
        char how[96];
        std::snprintf(how, sizeof how, " (%s %g baud)", state.Mode, state.Speed);
        transcript_.HostEvent("remote " + std::to_string(channel), Shown(arg(1)) + how);
        if (!engines.Receive(channel, arg(1))) Fail("the engine did not take the text");
    } else if (n == "snr") {
        TEngineSimulation& engines = RequireEngine();
        if (!engines.SetSignalToNoise(static_cast<std::int32_t>(c.Number), c.Real)) Fail("the engine did not take it");
        transcript_.HostEvent("remote " + std::to_string(c.Number), "S/N " + arg(1) + " dB");
    } else if (n == "offset") {
        TEngineSimulation& engines = RequireEngine();
        double v[3] = {0, 0, 0};
        for (std::size_t i = 1; i < c.Args.size() && i <= 3; ++i) v[i - 1] = std::strtod(arg(i).c_str(), nullptr);
        if (!engines.SetStation(static_cast<std::int32_t>(c.Number), v[0], v[1], v[2]))
            Fail("the engine has no signals to put off frequency");
        char what[128];
        std::snprintf(what, sizeof what, "%g Hz off, drifting %g Hz a minute, clock %g ppm", v[0], v[1], v[2]);
        transcript_.HostEvent("remote " + std::to_string(c.Number), what);
    } else if (n == "type") {
        Operator("type", arg(0), arg(1), "type " + arg(0) + " " + Shown(arg(1)));
    } else if (n == "key") {
        PressKey(c);
    } else if (n == "click") {
        const std::string position = c.Number >= 0 ? std::to_string(c.Number) : "";
        Operator("click", arg(0), position, "click " + arg(0) + (position.empty() ? "" : " at " + position));
    } else if (n == "popup") {
        const std::string position = c.Number >= 0 ? std::to_string(c.Number) : "";
        Operator("popup", arg(0), position, "popup " + arg(0) + (position.empty() ? "" : " at " + position));
    } else if (n == "click-word") {
        ClickWord(c);
    } else if (n == "pick") {
        Operator("pick", c.Args.size() > 1 ? arg(1) : "", arg(0), "pick " + Shown(arg(0)));
    } else if (n == "select") {
        Operator("select", arg(0), arg(1), "select " + arg(0) + " " + Shown(arg(1)));
    } else if (n == "set") {
        Operator("set", arg(0), arg(1), "set " + arg(0) + " " + Shown(arg(1)));
    } else if (n == "close") {
        Operator("close", "", "", "close the window");
    } else if (n == "do") {
        const std::string target = c.Args.size() > 1 ? arg(1) : "", argument = c.Args.size() > 2 ? arg(2) : "";
        Operator(arg(0), target, argument, "do " + arg(0) + (target.empty() ? "" : " " + target) +
                                               (argument.empty() ? "" : " " + Shown(argument)));
    } else if (n == "wait") {
        if (!c.Args[0].Quoted && arg(0) == "idle") {
            WaitIdle(c.Number);
        } else {
            // Step the clock so what happens on the way is reported near its time.
            std::int64_t left = c.Number;
            while (left > 0) {
                const std::int64_t step = left < 1000 ? left : 1000;
                Advance(step);
                left -= step;
                FlushOnAir();
                ReportQsoChanges();
            }
        }
    } else if (n == "show") {
        Show(c.Args.empty() ? "" : arg(0));
    } else if (n == "note") {
        transcript_.HostEvent("note", arg(0));
    }
}

}  // namespace pavohost
