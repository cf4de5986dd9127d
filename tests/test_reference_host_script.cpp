// The session script of the reference host: what it accepts, and mistakes
// reported at their line and column before anything runs.
#include <gtest/gtest.h>

#include "Script.h"

namespace pavohost {
namespace {

struct Mistake {
    int line, column;
    std::string message;
};

Mistake MistakeIn(const std::string& script) {
    try {
        ParseScript(script);
    } catch (const TScriptError& e) {
        return {e.Line, e.Column, e.what()};
    }
    ADD_FAILURE() << "accepted: " << script;
    return {};
}

TEST(SessionScript, ReadsCommandsWordsQuotesEscapesAndComments) {
    const auto commands = ParseScript(
        "# a contact\r\n"
        "clock 2024-05-04 14:30\r\n"
        "\n"
        "station call R3ABC name \"Павел Иванов\"   # the operator\n"
        "remote 0 \"CQ CQ de DL1ABC \\\"pse\\\" k\\r\\n\\t\\\\\"\n"
        "run -3\n"
        "wait 1.5s\n"
        "wait idle 2m\n"
        "click-word RichEdit1 \"DL1ABC\"\n"
        "click RichEdit1 12\n"
        "answer input cancel\n"
        "answer input \"cancel\"\n"
        "snr 4 -3.5\n"
        "rig frequency 14070000");
    ASSERT_EQ(commands.size(), 12u);
    EXPECT_EQ(commands[0].Name, "clock");
    EXPECT_EQ(commands[0].Line, 2);
    EXPECT_EQ(commands[0].Number, 1714833000);
    EXPECT_EQ(commands[1].Args.size(), 4u);
    EXPECT_EQ(commands[1].Args[3].Text, "Павел Иванов");
    EXPECT_TRUE(commands[1].Args[3].Quoted);
    EXPECT_EQ(commands[1].Args[3].Column, 25);
    EXPECT_EQ(commands[2].Args[1].Text, "CQ CQ de DL1ABC \"pse\" k\r\n\t\\");
    EXPECT_EQ(commands[2].Number, 0);
    EXPECT_EQ(commands[3].Number, -3);
    EXPECT_EQ(commands[4].Number, 1500);
    EXPECT_EQ(commands[5].Number, 120000);
    EXPECT_EQ(commands[6].Number, 1) << "first occurrence by default";
    EXPECT_EQ(commands[7].Number, 12);
    EXPECT_FALSE(commands[8].Args[1].Quoted);
    EXPECT_TRUE(commands[9].Args[1].Quoted);
    EXPECT_DOUBLE_EQ(commands[10].Real, -3.5);
    EXPECT_EQ(commands[11].Number, 14070000);
    EXPECT_TRUE(ParseScript("").empty());
    EXPECT_TRUE(ParseScript("   # only a comment\n\n").empty());
}

TEST(SessionScript, MistakesPointAtTheirLineAndColumn) {
    struct Case {
        const char* script;
        int line, column;
        const char* says;
    };
    for (const Case c : {
             Case{"run\nclik Memo1", 2, 1, "unknown command \"clik\""},
             Case{"remote 7 \"hi\"", 1, 8, "the channel must be from 0 to 4"},
             Case{"remote x \"hi\"", 1, 8, "the channel must be a whole number"},
             Case{"type Memo1 \"open", 1, 12, "unterminated quoted text"},
             Case{"type Memo1 \"a\\qb\"", 1, 14, "unknown escape \\q"},
             Case{"type Memo1", 1, 11, "missing argument: type CONTROL TEXT"},
             Case{"close now", 1, 7, "too many arguments: close"},
             Case{"station call", 1, 13, "missing argument"},
             Case{"station call R3ABC hat 1", 1, 20, "unknown station field \"hat\""},
             Case{"clock 2024-02-30 10:00", 1, 7, "not a valid date and time"},
             Case{"clock 2024-02-03 24:00", 1, 7, "not a valid date and time"},
             Case{"wait soon", 1, 6, "expected a duration"},
             Case{"wait -1s", 1, 6, "expected a duration"},
             Case{"wait idle forever", 1, 11, "expected a duration"},
             Case{"rig frequency", 1, 14, "missing argument"},
             Case{"rig frequency 0", 1, 15, "the frequency (Hz) must be from 1"},
             Case{"rig am", 1, 5, "expected one of frequency, lsb, off, on, usb"},
             Case{"qso set colour red", 1, 9, "expected one of"},
             Case{"answer maybe", 1, 8, "expected one of"},
             Case{"answer colour red", 1, 15, "expected a colour such as FF0000"},
             Case{"answer colour 12345G", 1, 15, "expected a colour"},
             Case{"answer colour #FF0000", 1, 22, "missing argument"},  // "#" starts a comment
             Case{"answer font Arial", 1, 18, "missing argument"},
             Case{"answer font Arial big", 1, 19, "the font size must be a whole number"},
             Case{"answer font Arial 10 heavy", 1, 22, "expected one of bold, italic, strikeout, underline"},
             Case{"answer font cancel 10", 1, 20, "too many arguments"},
             Case{"answer file", 1, 12, "missing argument"},
             Case{"answer options set seDelayTX", 1, 29, "missing argument"},
             Case{"answer options ok now", 1, 19, "too many arguments"},
             Case{"answer options press btnOK", 1, 16, "expected one of cancel, click, ok, select, set, type"},
             Case{"type Me\"mo1 x", 1, 8, "a quote inside a word"},
             Case{"type \"Memo1\"x y", 1, 13, "a blank must follow quoted text"},
             Case{"\"run\"", 1, 1, "a line starts with a command"},
             Case{"click-word RichEdit1 DL1ABC 0", 1, 29, "the occurrence must be from 1"},
             Case{"type \"Пётр\" \"x\" extra", 1, 17, "too many arguments"},  // columns count characters
         }) {
        const Mistake m = MistakeIn(c.script);
        EXPECT_EQ(m.line, c.line) << c.script;
        EXPECT_EQ(m.column, c.column) << c.script;
        EXPECT_NE(m.message.find(c.says), std::string::npos) << c.script << " -> " << m.message;
    }
}

TEST(SessionScript, BytesThatAreNotUtf8TextAreRefusedAndNeverEchoed) {
    using namespace std::string_literals;
    struct Case {
        std::string script;
        int line, column;
        const char* says;
    };
    for (const Case& c : {
             Case{"run\nremote 0 \"Пр\xFF\xFEт\"", 2, 13, "not valid UTF-8"},
             Case{"remote 1 \"a\0b\"\n"s, 1, 12, "a NUL character"},
             Case{"remote 0 \"\xC0\xAF\"", 1, 11, "not valid UTF-8"},        // an overlong "/"
             Case{"remote 0 \"\xED\xA0\x80\"", 1, 11, "not valid UTF-8"},    // a surrogate
             Case{"type Memo1 \"\xF0\x9F\x98\"", 1, 13, "not valid UTF-8"},  // cut short
         }) {
        const Mistake m = MistakeIn(c.script);
        EXPECT_EQ(m.line, c.line) << c.script;
        EXPECT_EQ(m.column, c.column) << c.script;
        EXPECT_NE(m.message.find(c.says), std::string::npos) << m.message;
    }
    // A terminal escape in a quoted mistake is shown, not sent to the terminal.
    const Mistake m = MistakeIn("cl\x1B[2Jik now\x7F");
    EXPECT_EQ(m.message, "unknown command \"cl\\x1b[2Jik\"");
    EXPECT_EQ(EscapeForTerminal("Пётр\ttab\n\xC2\x9B\xFF"), "Пётр\ttab\n\\xc2\\x9b\\xff");
    EXPECT_EQ(ParseScript("remote 0 \"Привет 😀\"").at(0).Args.at(1).Text, "Привет 😀");
}

TEST(SessionScript, DialogAnswersCarryTheirColourAndFont) {
    const auto commands = ParseScript("answer colour FF8000\n"
                                      "answer font \"DejaVu Sans\" 12 bold 0000FF\n"
                                      "answer font cancel\n"
                                      "answer file notes.txt\n");
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].Number, 0x0080FF);  // the framework keeps blue in the high byte
    EXPECT_EQ(commands[1].Args[1].Text, "DejaVu Sans");
    EXPECT_EQ(commands[1].Number, 12);
    EXPECT_EQ(commands[1].Number2, 0xFF0000);
    EXPECT_EQ(commands[3].Args[1].Text, "notes.txt");
}

TEST(SessionScript, DurationsTakeUnits) {
    EXPECT_EQ(ParseDuration("250ms"), 250);
    EXPECT_EQ(ParseDuration("2s"), 2000);
    EXPECT_EQ(ParseDuration("0.5s"), 500);
    EXPECT_EQ(ParseDuration("3m"), 180000);
    EXPECT_EQ(ParseDuration("0s"), 0);
    for (const char* bad : {"", "5", "s", "ms", "1h", "1e400s", "-2s", "two s", "nans"})
        EXPECT_EQ(ParseDuration(bad), -1) << bad;
}

}  // namespace
}  // namespace pavohost
