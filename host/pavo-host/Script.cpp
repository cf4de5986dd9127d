#include "Script.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "HostClock.h"
#include "HostSettings.h"

namespace pavohost {

namespace {

// The length of the valid UTF-8 sequence at s[i], 0 when it is not one.
std::size_t Utf8SequenceAt(const std::string& s, std::size_t i) {
    const auto byte = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t n = 0;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) n = 2, cp = b & 0x1Fu;
    else if (b >= 0xE0 && b <= 0xEF) n = 3, cp = b & 0x0Fu;
    else if (b >= 0xF0 && b <= 0xF4) n = 4, cp = b & 0x07u;
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
    return n;
}

}  // namespace

std::size_t FirstInvalidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '\0') return i;
        const std::size_t n = Utf8SequenceAt(text, i);
        if (n == 0) return i;
        i += n;
    }
    return std::string::npos;
}

std::string EscapeForTerminal(const std::string& text) {
    static const char* const kHex = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = Utf8SequenceAt(text, i);
        // Keeps line breaks and tabs of multi-line messages; C1 controls (U+0080..U+009F) are escaped too.
        const bool c1 = n == 2 && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (n == 0 || c1 || (n == 1 && ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F))) {
            const std::size_t count = n == 0 ? 1 : n;
            for (std::size_t k = 0; k < count; ++k) {
                const auto e = static_cast<unsigned char>(text[i + k]);
                out += "\\x";
                out += kHex[e >> 4];
                out += kHex[e & 0xF];
            }
            i += count;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}

namespace {

struct TLine {
    int Number;
    std::vector<TScriptWord> Words;
    int EndColumn;  // column just past the last character
};

// Column of byte offset i in s, counting UTF-8 characters from 1.
int ColumnAt(const std::string& s, std::size_t i) {
    int column = 1;
    for (std::size_t k = 0; k < i && k < s.size(); ++k)
        if ((static_cast<unsigned char>(s[k]) & 0xC0) != 0x80) ++column;
    return column;
}

TLine Tokenize(const std::string& line, int number) {
    TLine out{number, {}, ColumnAt(line, line.size())};
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        TScriptWord word;
        word.Column = ColumnAt(line, i);
        if (c == '"') {
            word.Quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char d = line[i];
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\') {
                    if (i + 1 >= line.size()) break;
                    const char e = line[i + 1];
                    switch (e) {
                        case 'n': word.Text += '\n'; break;
                        case 'r': word.Text += '\r'; break;
                        case 't': word.Text += '\t'; break;
                        case '"': word.Text += '"'; break;
                        case '\\': word.Text += '\\'; break;
                        default:
                            throw TScriptError(number, ColumnAt(line, i),
                                               std::string("unknown escape \\") + e + " (use \\\" \\\\ \\r \\n \\t)");
                    }
                    i += 2;
                    continue;
                }
                word.Text += d;
                ++i;
            }
            if (!closed) throw TScriptError(number, word.Column, "unterminated quoted text");
            if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#')
                throw TScriptError(number, ColumnAt(line, i), "a blank must follow quoted text");
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                if (line[i] == '"') throw TScriptError(number, ColumnAt(line, i), "a quote inside a word");
                word.Text += line[i];
                ++i;
            }
        }
        out.Words.push_back(std::move(word));
    }
    return out;
}

bool ParseInteger(const std::string& text, std::int64_t& out) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseReal(const std::string& text, double& out) {
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(out);
}

// Checks one command's words, filling the numbers it carries.
class TChecker {
public:
    TChecker(const TLine& line, TScriptCommand& command) : line_(line), command_(command) {}

    [[noreturn]] void Fail(std::size_t argument, const std::string& message) const {
        const int column = argument < command_.Args.size() ? command_.Args[argument].Column : line_.EndColumn;
        throw TScriptError(line_.Number, column, message);
    }
    void Count(std::size_t least, std::size_t most) const {
        if (command_.Args.size() < least) Fail(command_.Args.size(), Usage("missing argument"));
        if (command_.Args.size() > most) Fail(most, Usage("too many arguments"));
    }
    std::string Usage(const std::string& problem) const { return problem + ": " + UsageOf(command_.Name); }
    const std::string& Word(std::size_t i) const { return command_.Args[i].Text; }
    std::string OneOf(std::size_t i, const std::set<std::string>& allowed) const {
        if (i >= command_.Args.size()) Fail(i, Usage("missing argument"));
        if (command_.Args[i].Quoted || allowed.count(Word(i)) == 0) {
            std::string list;
            for (const auto& a : allowed) list += (list.empty() ? "" : ", ") + a;
            Fail(i, "expected one of " + list + ", found \"" + Word(i) + "\"");
        }
        return Word(i);
    }
    std::int64_t Integer(std::size_t i, std::int64_t low, std::int64_t high, const char* what) const {
        std::int64_t value = 0;
        if (!ParseInteger(Word(i), value)) Fail(i, std::string(what) + " must be a whole number, found \"" + Word(i) + "\"");
        if (value < low || value > high)
            Fail(i, std::string(what) + " must be from " + std::to_string(low) + " to " + std::to_string(high));
        return value;
    }
    std::int64_t Channel(std::size_t i) const { return Integer(i, 0, 4, "the channel"); }
    bool IsColour(std::size_t i) const {
        const std::string& w = Word(i);
        std::int64_t rgb = 0;
        return w.size() == 6 && std::from_chars(w.data(), w.data() + 6, rgb, 16).ptr == w.data() + 6;
    }
    // RRGGBB in hexadecimal (as on the web, less the "#" that starts a
    // comment here) as the framework's colour, 0x00BBGGRR.
    std::int64_t Colour(std::size_t i) const {
        if (!IsColour(i)) Fail(i, "expected a colour such as FF0000 (red, green, blue), found \"" + Word(i) + "\"");
        std::int64_t rgb = 0;
        std::from_chars(Word(i).data(), Word(i).data() + 6, rgb, 16);
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
    std::int64_t Duration(std::size_t i) const {
        const std::int64_t ms = ParseDuration(Word(i));
        if (ms < 0) Fail(i, "expected a duration such as 500ms, 2s, 1.5s or 3m, found \"" + Word(i) + "\"");
        return ms;
    }

    static std::string UsageOf(const std::string& name);

private:
    const TLine& line_;
    TScriptCommand& command_;
};

const std::map<std::string, std::string>& Usages() {
    static const std::map<std::string, std::string> usages = {
        {"station", "station KEY VALUE [KEY VALUE ...]"},
        {"clock", "clock YYYY-MM-DD HH:MM[:SS]"},
        {"run", "run [INSTANCE]"},
        {"release", "release"},
        {"options", "options"},
        {"macros", "macros FILE"},
        {"rig", "rig frequency HZ | rig usb | rig lsb | rig off | rig on"},
        {"qso", "qso open | close | save | reset | set FIELD TEXT | keep-reports on|off"},
        {"awards", "awards on|off"},
        {"toolbar-style", "toolbar-style N"},
        {"mouse", "mouse X Y"},
        {"answer", "answer ok|cancel|yes|no | answer input TEXT|cancel | answer dialog ok|cancel | answer wizard finish|cancel | "
                   "answer options set|select|type CONTROL VALUE | answer options click CONTROL | answer options ok|cancel | "
                   "answer file PATH|cancel | answer colour RRGGBB|cancel | "
                   "answer font NAME SIZE [bold] [italic] [underline] [strikeout] [RRGGBB] | answer font cancel"},
        {"remote", "remote CHANNEL TEXT"},
        {"snr", "snr CHANNEL DB"},
        {"offset", "offset CHANNEL HZ [DRIFT_HZ_PER_MIN [CLOCK_PPM]]"},
        {"type", "type CONTROL TEXT"},
        {"key", "key KEY [CONTROL]"},
        {"click", "click CONTROL [POSITION]"},
        {"click-word", "click-word PANE WORD [OCCURRENCE]"},
        {"popup", "popup CONTROL [POSITION]"},
        {"pick", "pick ITEM [MENU]"},
        {"select", "select CONTROL ITEM"},
        {"set", "set CONTROL VALUE"},
        {"close", "close"},
        {"do", "do VERB [TARGET [ARGUMENT]]"},
        {"wait", "wait DURATION | wait idle [LIMIT]"},
        {"show", "show [qso | log | engine | CONTROL]"},
        {"note", "note TEXT"},
    };
    return usages;
}

std::string TChecker::UsageOf(const std::string& name) {
    const auto it = Usages().find(name);
    return it == Usages().end() ? name : it->second;
}

void Check(const TLine& line, TScriptCommand& c) {
    TChecker k(line, c);
    const std::string& n = c.Name;
    if (n == "station") {
        k.Count(2, 64);
        if (c.Args.size() % 2 != 0) k.Fail(c.Args.size(), k.Usage("a key without a value"));
        const auto& keys = THostSettings::StationKeys();
        for (std::size_t i = 0; i < c.Args.size(); i += 2)
            if (c.Args[i].Quoted || keys.count(k.Word(i)) == 0) {
                std::string list;
                for (const auto& [key, property] : keys) list += (list.empty() ? "" : ", ") + key;
                k.Fail(i, "unknown station field \"" + k.Word(i) + "\" (fields: " + list + ")");
            }
    } else if (n == "clock") {
        k.Count(2, 2);
        TCivilTime t;
        if (!ParseCivil(k.Word(0), k.Word(1), t)) k.Fail(0, k.Usage("not a valid date and time"));
        c.Number = SecondsFromCivil(t);
    } else if (n == "run") {
        k.Count(0, 1);
        c.Number = c.Args.empty() ? 1 : k.Integer(0, INT32_MIN, INT32_MAX, "the instance value");
    } else if (n == "release" || n == "options" || n == "close") {
        k.Count(0, 0);
    } else if (n == "rig") {
        k.Count(1, 2);
        const std::string what = k.OneOf(0, {"frequency", "usb", "lsb", "off", "on"});
        if (what == "frequency") {
            k.Count(2, 2);
            c.Number = k.Integer(1, 1, 300000000000, "the frequency (Hz)");  // up to 300 GHz
        } else {
            k.Count(1, 1);
        }
    } else if (n == "qso") {
        k.Count(1, 3);
        const std::string what = k.OneOf(0, {"open", "close", "save", "reset", "set", "keep-reports"});
        if (what == "set") {
            k.Count(3, 3);
            k.OneOf(1, {"callsign", "rst-sent", "rst-rcvd", "name", "qth", "grid", "qsl-via", "email", "comment",
                        "mode", "time"});
        } else if (what == "keep-reports") {
            k.Count(2, 2);
            k.OneOf(1, {"on", "off"});
        } else {
            k.Count(1, 1);
        }
    } else if (n == "awards") {
        k.Count(1, 1);
        k.OneOf(0, {"on", "off"});
    } else if (n == "toolbar-style") {
        k.Count(1, 1);
        c.Number = k.Integer(0, 0, 255, "the toolbar style");
    } else if (n == "mouse") {
        k.Count(2, 2);
        c.Number = k.Integer(0, -100000, 100000, "x");
        c.Number2 = k.Integer(1, -100000, 100000, "y");
    } else if (n == "answer") {
        k.Count(1, 8);
        const std::string what =
            k.OneOf(0, {"ok", "cancel", "yes", "no", "input", "dialog", "wizard", "options", "file", "colour", "font"});
        const bool cancel = c.Args.size() > 1 && !c.Args[1].Quoted && k.Word(1) == "cancel";
        if (what == "input" || what == "file") {
            k.Count(2, 2);
        } else if (what == "colour") {
            k.Count(2, 2);
            if (!cancel) c.Number = k.Colour(1);
        } else if (what == "font") {
            k.Count(2, cancel ? 2 : 8);
            if (!cancel) {
                k.Count(3, 8);
                c.Number = k.Integer(2, 1, 200, "the font size");
                c.Number2 = 0;  // black unless a colour is given
                for (std::size_t i = 3; i < c.Args.size(); ++i)
                    if (k.IsColour(i)) c.Number2 = k.Colour(i);
                    else k.OneOf(i, {"bold", "italic", "underline", "strikeout"});
            }
        } else if (what == "dialog") {
            k.Count(2, 2);
            k.OneOf(1, {"ok", "cancel"});
        } else if (what == "wizard") {
            k.Count(2, 2);
            k.OneOf(1, {"finish", "cancel"});
        } else if (what == "options") {
            k.Count(2, 4);
            const std::string action = k.OneOf(1, {"ok", "cancel", "set", "select", "type", "click"});
            if (action == "ok" || action == "cancel") k.Count(2, 2);
            else if (action == "click") k.Count(3, 3);
            else k.Count(4, 4);
        } else {
            k.Count(1, 1);
        }
    } else if (n == "remote") {
        k.Count(2, 2);
        c.Number = k.Channel(0);
    } else if (n == "snr") {
        k.Count(2, 2);
        c.Number = k.Channel(0);
        if (!ParseReal(k.Word(1), c.Real)) k.Fail(1, "the signal-to-noise ratio must be a number of dB");
    } else if (n == "offset") {
        k.Count(2, 4);
        c.Number = k.Channel(0);
        double v = 0;
        for (std::size_t i = 1; i < c.Args.size(); ++i)
            if (!ParseReal(k.Word(i), v)) k.Fail(i, "offset, drift and clock error must be numbers");
    } else if (n == "type" || n == "select" || n == "set") {
        k.Count(2, 2);
    } else if (n == "key") {
        k.Count(1, 2);
    } else if (n == "click" || n == "popup") {
        k.Count(1, 2);
        c.Number = c.Args.size() == 2 ? k.Integer(1, 0, INT32_MAX, "the position") : -1;
    } else if (n == "click-word") {
        k.Count(2, 3);
        if (k.Word(1).empty()) k.Fail(1, "the word is empty");
        c.Number = c.Args.size() == 3 ? k.Integer(2, 1, INT32_MAX, "the occurrence") : 1;
    } else if (n == "pick") {
        k.Count(1, 2);
    } else if (n == "do") {
        k.Count(1, 3);
    } else if (n == "wait") {
        k.Count(1, 2);
        if (!c.Args[0].Quoted && k.Word(0) == "idle") {
            c.Number = c.Args.size() == 2 ? k.Duration(1) : -1;
        } else {
            k.Count(1, 1);
            c.Number = k.Duration(0);
        }
    } else if (n == "show") {
        k.Count(0, 1);
    } else if (n == "note" || n == "macros") {
        k.Count(1, 1);
    } else {
        throw TScriptError(line.Number, 1, "unknown command \"" + n + "\"");
    }
}

}  // namespace

std::int64_t ParseDuration(const std::string& text) {
    struct TUnit {
        const char* Suffix;
        double Ms;
    };
    for (const TUnit unit : {TUnit{"ms", 1.0}, TUnit{"s", 1000.0}, TUnit{"m", 60000.0}}) {
        const std::string suffix = unit.Suffix;
        if (text.size() <= suffix.size() || text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        double value = 0;
        if (!ParseReal(text.substr(0, text.size() - suffix.size()), value) || value < 0) return -1;
        const double ms = value * unit.Ms;
        if (ms > 1e12) return -1;
        return static_cast<std::int64_t>(std::llround(ms));
    }
    return -1;
}

std::vector<TScriptCommand> ParseScript(const std::string& text) {
    std::vector<TScriptCommand> commands;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        ++number;
        // The script is UTF-8 text: what is not would reach the engine as garbage.
        if (const std::size_t bad = FirstInvalidUtf8(line); bad != std::string::npos)
            throw TScriptError(number, ColumnAt(line, bad),
                               line[bad] == '\0' ? "a NUL character in the script" : "the script is not valid UTF-8 here");
        const TLine tokens = Tokenize(line, number);
        if (!tokens.Words.empty()) {
            TScriptCommand command;
            command.Line = number;
            if (tokens.Words[0].Quoted) throw TScriptError(number, tokens.Words[0].Column, "a line starts with a command");
            command.Name = tokens.Words[0].Text;
            command.Args.assign(tokens.Words.begin() + 1, tokens.Words.end());
            Check(tokens, command);
            commands.push_back(std::move(command));
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return commands;
}

const char* ScriptReference() {
    return R"(Session script: one command a line; words are separated by blanks; "quoted text"
may hold blanks and the escapes \" \\ \r \n \t; # starts a comment. Durations:
500ms, 2s, 1.5s, 3m. Text is UTF-8. The whole script is checked before it runs.

Host and station
  station KEY VALUE ...    the operator's data in the host settings: call, name, qth,
                           grid, cq, itu, iota, power, rig, state
  clock DATE TIME          the host's UTC clock now: 2024-05-04 14:30[:00]
  rig frequency HZ         the dial; rig usb | lsb (sideband); rig off | on
  qso open | close         the host's new-QSO window (the plug-in is told)
  qso set FIELD TEXT       the operator types into the host's new-QSO window: callsign,
                           rst-sent, rst-rcvd, name, qth, grid, qsl-via, email, comment,
                           mode, time
  qso save | reset         the host's own save and reset buttons
  qso keep-reports on|off  the host's keep-reports option
  awards on|off            the host's award list comes or goes
  toolbar-style N          the host's appearance (the plug-in is told)
  mouse X Y                the cursor moves (the plug-in is told)
  answer ok|cancel|yes|no  answer to the next message box (default: OK, or No)
  answer input TEXT|cancel answer to the next input box (default: cancel)
  answer dialog ok|cancel  result of the next modal dialog (default: cancel)
  answer wizard finish|cancel
                           the next wizard window (the audio setup wizard): gone through
                           to the end with what it preselects, or cancelled (default);
                           a question it asks takes the next message-box answer
  answer options set|select|type CONTROL VALUE | answer options click CONTROL
                           what the operator does in the next options dialog
                           ("Настройки"), in order: a control by name or caption, as
                           the operator commands below do (set seDelayTX 300, select
                           cbOutSoundCard "Pavo Sound Card", click chkHIToSml, click
                           btnTXFont after an answer font); the read-only editors only
                           take values their arrows reach
  answer options ok|cancel ends those actions with "&ОК" or "Отм&ена" (a dialog with
                           nothing queued is cancelled)
  answer file PATH|cancel  the file chosen in the next file-open dialog (relative to
                           the script; default: cancel)
  answer colour RRGGBB|cancel
                           the colour chosen in the next colour dialog, in hexadecimal
                           red, green, blue: FF0000 is red (default: cancel)
  answer font NAME SIZE [bold] [italic] [underline] [strikeout] [RRGGBB] | font cancel
                           the font chosen in the next font dialog (default: cancel)

Plug-in session
  run [INSTANCE]           PavoRun (instance value 1 by default)
  release                  PavoRelease
  options                  PavoShowOptionsDialog, as the host's menu does
  macros FILE              the host's macro editor saves the macros listed in FILE
                           (PAGE | CAPTION | SHORTCUT | TEXT a line; relative to the
                           script) as the plug-in's macro table

Remote stations, through the loopback modem engine
  remote CHANNEL TEXT      a station sends TEXT on channel 0-4 at the channel's rate
                           (use \r for a line break)
  snr CHANNEL DB           the channel's signal-to-noise ratio
  offset CHANNEL HZ [DRIFT [PPM]]
                           the channel's station from its next text on: HZ off the
                           carrier, drifting DRIFT Hz a minute, its sound card PPM
                           fast (the DSP engine; the loopback engine refuses)

The operator at the plug-in's window (sent as automation requests)
  type CONTROL TEXT        key presses into a control; \r is Enter
  key KEY [CONTROL]        one key: F12, Enter, Ctrl+L
  click CONTROL [POSITION] a button, menu item or check button; in a pane, at POSITION
                           (characters before the click); on a spectrum view, Hz
  click-word PANE WORD [N] click in the middle of the N-th WORD shown in the pane
  popup CONTROL [POSITION] the right mouse button (on a spectrum view POSITION is Hz)
  pick ITEM [MENU]         choose an item of the open pop-up menu
  select CONTROL ITEM      choose a list item or a tab
  set CONTROL VALUE        the value of an editor
  close                    the window's close button
  do VERB [TARGET [ARG]]   any other automation request
  CONTROL is a control's name (Memo1) or caption ("Позывной").

Time and output
  wait DURATION            the virtual clock runs on
  wait idle [LIMIT]        until remote text is delivered and transmission has ended
                           (at most LIMIT, 10m by default)
  show [CONTROL]           the plug-in's window as it describes itself
  show qso | log | engine  the host's new-QSO window, its log, the engine's channels
  note TEXT                a line in the transcript
)";
}

}  // namespace pavohost
