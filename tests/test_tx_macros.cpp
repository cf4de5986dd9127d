// The macro pages: the host's macro packet read into the table, the five
// toolbars built from it, pressing a macro by button or key, the preview
// balloon, the tags filled in, and the host's editor command.
#include <gtest/gtest.h>

#include <filesystem>

#include "LoopbackEngine.h"
#include "MacroTable.h"
#include "PluginFixture.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "test_settings_support.h"
#include "tx/MacroTags.h"
#include "tx/MacrosesDataModule.h"

namespace quorvel::testing {
namespace {

std::string Packet(const std::string& rows, const std::string& declaration = "") {
    return "<?xml version=\"1.0\"" + declaration +
           " standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
           "<FIELD attrname=\"Описание\" fieldtype=\"string\" WIDTH=\"100\"/>"
           "<FIELD attrname=\"Текст\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\" WIDTH=\"1\"/>"
           "<FIELD attrname=\"Группа\" fieldtype=\"string\" WIDTH=\"20\"/>"
           "<FIELD attrname=\"Кл.\" fieldtype=\"string\" WIDTH=\"10\"/>"
           "</FIELDS><PARAMS/></METADATA><ROWDATA>" +
           rows + "</ROWDATA></DATAPACKET>";
}

std::string Row(const std::string& description, const std::string& text, const std::string& group,
                const std::string& key = "") {
    return "<ROW RowState=\"4\" Описание=\"" + description + "\" Текст=\"" + text + "\" Группа=\"" + group +
           "\" Кл.=\"" + key + "\"/>";
}

// ---- The packet ----------------------------------------------------------------

TEST(MacroPacket, UndeclaredWindows1251AndUtf8GiveTheSameRecordsInFileOrder) {
    const std::string rows = Row("Вызов", "CQ CQ de <MYCALL>", "CQ", "F5") + Row("Имя", "Меня зовут", "QSO (Ru)");
    const auto utf8 = ReadMacroPacket(Packet(rows, " encoding=\"UTF-8\""));
    const auto cp1251 = ReadMacroPacket(Utf8ToCp1251(Packet(rows)));
    ASSERT_EQ(utf8.size(), 2u);
    ASSERT_EQ(cp1251.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(utf8[i].Description, cp1251[i].Description);
        EXPECT_EQ(utf8[i].Text, cp1251[i].Text);
        EXPECT_EQ(utf8[i].Group, cp1251[i].Group);
        EXPECT_EQ(utf8[i].ShortCut, cp1251[i].ShortCut);
    }
    EXPECT_EQ(utf8[0].Description, Ru("Вызов"));
    EXPECT_EQ(utf8[1].Text, Ru("Меня зовут"));
    EXPECT_EQ(utf8[1].Group, Ru("QSO (Ru)"));
    // An undeclared packet in UTF-8, as XML itself assumes.
    EXPECT_EQ(ReadMacroPacket(Packet(rows))[1].Text, Ru("Меня зовут"));
}

TEST(MacroPacket, EveryEscapeComesBackAndMissingAttributesAreEmpty) {
    const auto records = ReadMacroPacket(
        Packet(Row("a&amp;b", "1&#013;&#010;2&#009;&#092;&lt;TX&gt;&quot;&apos;", "CQ") +
               "<ROW Описание=\"only\"/>"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Description, "a&b");
    EXPECT_EQ(records[0].Text, "1\r\n2\t\\<TX>\"'");
    EXPECT_EQ(records[1].Description, "only");
    EXPECT_EQ(records[1].Text, "");
    EXPECT_EQ(records[1].ShortCut, "");
    // The memo column is its text: what looks like hex stays as written.
    EXPECT_EQ(ReadMacroPacket(Packet(Row("x", "BEEF", "CQ")))[0].Text, "BEEF");
}

TEST(MacroPacket, FieldsAreTakenByPositionWhateverTheirNames) {
    const auto records = ReadMacroPacket(
        "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"d\"/><FIELD attrname=\"t\"/><FIELD attrname=\"g\"/>"
        "</FIELDS></METADATA><ROWDATA><ROW d=\"D\" t=\"T\" g=\"CQ\" k=\"F1\"/></ROWDATA></DATAPACKET>");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Text, "T");
    EXPECT_EQ(records[0].Group, "CQ");
    EXPECT_EQ(records[0].ShortCut, "");  // no fourth field declared
}

TEST(MacroPacket, WhatIsNotAPacketIsRefused) {
    EXPECT_THROW(ReadMacroPacket(""), EMacroPacket);
    EXPECT_THROW(ReadMacroPacket("\x01\x02 not xml"), EMacroPacket);
    EXPECT_THROW(ReadMacroPacket("<DATAPACKET><ROWDATA><ROW/></ROWDATA>"), EMacroPacket);       // truncated
    EXPECT_THROW(ReadMacroPacket("<DATAPACKET><ROWDATA><ROW/></ROWDATA></DATAPACKET>"), EMacroPacket);  // no FIELDS
    EXPECT_THROW(ReadMacroPacket("<OTHER/>"), EMacroPacket);
}

// ---- Tags without a window -----------------------------------------------------

TEST(MacroTags, ReplaceTagIgnoresCaseAndTakesEveryOccurrence) {
    std::string text = "<call> de <CALL> <Call>";
    ReplaceTag("<CALL>", "UA1AA", "", text);
    EXPECT_EQ(text, "UA1AA de UA1AA UA1AA");
    text = "Dear <NAMEX>, <NAME>!";
    ReplaceTag("<NAMEX>", "", "OM", text);
    ReplaceTag("<NAME>", "", "", text);
    EXPECT_EQ(text, "Dear OM, !");
}

TEST(MacroTags, GreetingHours) {
    EXPECT_EQ(GreetingFor("4:00:00"), "GM");
    EXPECT_EQ(GreetingFor("12:59"), "GM");
    EXPECT_EQ(GreetingFor("03:59:59"), "GE");
    EXPECT_EQ(GreetingFor("13:00"), "GA");
    EXPECT_EQ(GreetingFor("17:59:59"), "GA");
    EXPECT_EQ(GreetingFor("18:00"), "GE");
    EXPECT_EQ(GreetingFor(""), "");
    for (const char* bad : {"GE", "25:00", "12", "12:60", "1:2:3:4", "ab:cd"}) {
        try {
            GreetingFor(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid time");
        }
    }
    EXPECT_EQ(LongTimeText(4 * 3600 + 5 * 60 + 9), "4:05:09");
}

TEST(MacroTags, LintFlagsUnknownTagsAndControlTagsNotInCapitals) {
    const auto w = LintMacroText("<CAL> <call> <tx> <TX> <Rx> <MYLOC> a < b > c <SAVEQSO>");
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[0].Tag, "<CAL>");
    EXPECT_TRUE(w[0].Unknown);
    EXPECT_EQ(w[1].Tag, "<tx>");
    EXPECT_FALSE(w[1].Unknown);
    EXPECT_EQ(w[2].Tag, "<Rx>");
    EXPECT_EQ(w[3].Tag, "<MYLOC>");
}

// ---- The window ----------------------------------------------------------------

class MacrosTest : public PluginFixture {
protected:
    MacrosTest() {
        host.config.dataFolder = temp.Folder();
        std::filesystem::create_directories(temp.Path("Quorvel"));
        WriteAll(JoinPath(temp.Folder(), "Quorvel", "configuration.xml"),
                 "<?xml version=\"1.0\" ?><Configuration>"
                 "<SetupComplete type=\"Integer\">1</SetupComplete></Configuration>");
    }
    std::string MacroFile() const { return JoinPath(temp.Folder(), "Quorvel", "macroses.config.xml"); }
    void WriteMacros(const std::string& rows) { WriteAll(MacroFile(), Packet(rows)); }
    TMainForm& Start() {
        library->Run(&host.session, 1);
        TMainForm& f = *library->MainForm;
        f.Tx.LocalTime = [this] { return now; };
        engine = engines.Last;
        return f;
    }
    void SendKey(std::uint16_t key) {
        sim.Windows.PostMessage(library->MainForm->Handle(), WM_KEYDOWN, key, 0);
        sim.Dispatcher.Advance(0);
    }
    std::string Sent() const {
        const auto& q = engine->TxQueue();
        return Utf16ToCp1251(std::u16string(q.begin(), q.end()));
    }

    TempFolder temp;
    TLoopbackEngine* engine = nullptr;
    int now = 10 * 3600;
};

TEST_F(MacrosTest, ButtonsGoToTheirPagesWithCaptionsHintsShortcutsAndWidths) {
    const std::string fifty(50, 'x');
    WriteMacros(Row("CQ", "CQ CQ", "CQ", "F5") + Row("Ctrl", fifty, "CQ", "Ctrl+F5") +
                Row("lower", "x", "cq") + Row("Long", fifty + "y", "Прочее (En)") + Row("Имя", "a", "QSO (Ru)"));
    TMainForm& f = Start();
    ASSERT_EQ(f.ToolBar1.ButtonCount(), 2);
    EXPECT_EQ(f.ToolBar1.Buttons(0).Caption(), "CQ (F5)");
    EXPECT_EQ(f.ToolBar1.Buttons(0).ShortCut, 0x74);
    EXPECT_EQ(f.ToolBar1.Buttons(0).Tag, 1);
    // Caption width + 14: "Ctrl (Ctrl+F5)" is twice as long as "CQ (F5)".
    const int w0 = f.ToolBar1.Buttons(0).Width(), w1 = f.ToolBar1.Buttons(1).Width();
    EXPECT_GT(w0, 14);
    EXPECT_EQ(w1 - 14, 2 * (w0 - 14));
    EXPECT_EQ(f.ToolBar1.Buttons(1).ShortCut, 0x4074);
    EXPECT_EQ(f.ToolBar1.Buttons(1).Hint(), fifty);
    EXPECT_EQ(f.ToolBar1.Buttons(1).Height(), 21);
    EXPECT_EQ(f.ToolBar2.ButtonCount(), 1);
    EXPECT_EQ(f.ToolBar2.Buttons(0).Tag, 5);
    EXPECT_EQ(f.ToolBar3.ButtonCount(), 0);
    EXPECT_EQ(f.ToolBar4.ButtonCount(), 0);
    ASSERT_EQ(f.ToolBar5.ButtonCount(), 1);
    EXPECT_EQ(f.ToolBar5.Buttons(0).Hint(), std::string(47, 'x') + "...");
    EXPECT_EQ(f.ToolBar5.Buttons(0).Tag, 4);  // the record number, counting the lower-case group
    EXPECT_FALSE(f.Tx.MacrosesDataModule->ClientDataSet1.LogChanges);
}

TEST_F(MacrosTest, AReloadReplacesTheButtonsAndABadFileKeepsThem) {
    WriteMacros(Row("A", "a", "CQ") + Row("B", "b", "CQ"));
    TMainForm& f = Start();
    ASSERT_EQ(f.ToolBar1.ButtonCount(), 2);
    WriteAll(MacroFile(), Packet(Row("A", "a", "CQ")).substr(0, 200));  // truncated
    FakeLibs().editorResult = 1;
    f.mnuEditMacros.Click();
    EXPECT_EQ(f.ToolBar1.ButtonCount(), 2);
    WriteMacros(Row("C", "c", "QSO (En)"));
    f.mnuEditMacros.Click();
    EXPECT_EQ(f.ToolBar1.ButtonCount(), 0);
    ASSERT_EQ(f.ToolBar4.ButtonCount(), 1);
    EXPECT_EQ(f.ToolBar4.Buttons(0).Caption(), "C");
    std::filesystem::remove(MacroFile());
    f.mnuEditMacros.Click();
    EXPECT_EQ(f.ToolBar4.ButtonCount(), 1);  // no file: as they were
    FakeLibs().editorResult = 0;
    WriteMacros("");
    f.mnuEditMacros.Click();
    EXPECT_EQ(f.ToolBar4.ButtonCount(), 1);  // no change reported: untouched
}

TEST_F(MacrosTest, TheEditorIsCalledWithTheMacroFileAndItsWarningsShow) {
    TMainForm& f = Start();
    const int calls = FakeLibs().editorCalls;
    f.mnuEditMacros.Click();
    EXPECT_EQ(FakeLibs().editorCalls, calls + 1);
    EXPECT_EQ(FakeLibs().editorParent, f.Handle());
    EXPECT_NE(FakeLibs().editorFile.find("macroses.config.xml"), std::string::npos);
    EXPECT_NE(FakeLibs().editorHelp.find("macros.htm"), std::string::npos);

    sim.Libraries.Register("editors.dll", {});
    f.mnuEditMacros.Click();
    ASSERT_FALSE(sim.Dialogs.Messages.empty());
    EXPECT_EQ(sim.Dialogs.Messages.back().Text, Ru("Неверная версия библиотеки editors.dll."));
    EXPECT_EQ(sim.Dialogs.Messages.back().Flags & 0xF0, 48);  // the warning icon
    sim.Libraries.Unregister("editors.dll");
    f.mnuEditMacros.Click();
    EXPECT_EQ(sim.Dialogs.Messages.back().Text, Ru("Не удалось загрузить библиотеку editors.dll."));
}

TEST_F(MacrosTest, APressWithoutAutoSendOnlyArmsTheFeedAfterTheTypedLine) {
    library->Config.AutoSendMacros = false;
    library->Config.AutoSendChar = false;
    WriteMacros(Row("CQ", "CQ de <MYCALL>", "CQ") + Row("Two", "second", "CQ"));
    TMainForm& f = Start();
    f.Memo1.SetFocus();
    for (char k : std::string("abc")) f.Memo1.KeyPress(k);
    f.ToolBar1.Buttons(0).Click();
    EXPECT_EQ(f.Memo1.Text(), "abc\r\nCQ de UA3ABC");
    EXPECT_EQ(f.Tx.FeedPosition, 3);  // the feed starts with the line break
    EXPECT_TRUE(f.Tx.FeedMode);
    EXPECT_FALSE(f.Timer1.Enabled());
    EXPECT_TRUE(f.Memo1.Focused());
    EXPECT_FALSE(engine->bTX());
    f.ToolBar1.Buttons(1).Click();  // queued behind the first
    EXPECT_EQ(f.Memo1.Text(), "abc\r\nCQ de UA3ABC\r\nsecond");
    EXPECT_EQ(f.Tx.FeedPosition, 3);
}

TEST_F(MacrosTest, TheTransmitTagStartsSendingOnlyInCapitals) {
    library->Config.AutoSendMacros = false;
    WriteMacros(Row("lower", "hi<tx>", "CQ") + Row("upper", "go<TX>", "CQ"));
    TMainForm& f = Start();
    f.ToolBar1.Buttons(0).Click();
    EXPECT_EQ(f.Memo1.Text(), "hi\r\n");
    EXPECT_FALSE(f.Tx.TxTagSeen);
    EXPECT_FALSE(engine->bTX());
    f.ToolBar1.Buttons(1).Click();
    EXPECT_EQ(f.Memo1.Text(), "hi\r\ngo\r\n");
    EXPECT_TRUE(f.Tx.TxTagSeen);
    EXPECT_TRUE(engine->bTX());
    EXPECT_EQ(Sent(), " ");
}

TEST_F(MacrosTest, ShortcutsPressEveryMatchingButtonButNeverWithAModifier) {
    library->Config.AutoSendMacros = false;
    WriteMacros(Row("one", "1", "CQ", "F5") + Row("ctrl", "c", "CQ", "Ctrl+F5") + Row("two", "2", "QSO (En)", "F5") +
                Row("letter", "L", "CQ", "A"));
    TMainForm& f = Start();
    sim.Windows.SetActiveWindow(f.Handle());
    SendKey(0x74);
    EXPECT_EQ(f.Memo1.Text(), "1\r\n2\r\n");
    f.PageControl1.SetEnabled(false);  // as while transmitting
    f.Memo1.SetFocus();
    SendKey('A');
    EXPECT_EQ(f.Memo1.Text(), "1\r\n2\r\nL\r\n");
}

TEST_F(MacrosTest, ContactTagsWaitForTheNewQsoWindowAndItsEmptyValues) {
    WriteMacros(Row("m", "<CALL> <NAMEX> <NAME>. <MYCALL> <DISTANCE> <GREETINGX> <SN> <APPNAME>", "CQ"));
    TMainForm& f = Start();
    EXPECT_EQ(f.ExpandMacro(1, false), "<CALL> <NAMEX> <NAME>. UA3ABC <DISTANCE> <GREETINGX> S/N=0dB Tarvik Ver:2.1.0");
    host.OpenNewQso();
    host.newQso.callsign.text = "DL1XX";
    host.newQso.distance = "";
    host.newQso.greeting = "";
    EXPECT_EQ(f.ExpandMacro(1, false), "DL1XX OM . UA3ABC  km HELLO S/N=0dB Tarvik Ver:2.1.0");
    host.newQso.name.text = "Hans";
    host.newQso.greeting = "19:30";
    EXPECT_EQ(f.ExpandMacro(1, false), "DL1XX Hans Hans. UA3ABC  km GE S/N=0dB Tarvik Ver:2.1.0");
    EXPECT_EQ(f.ExpandMacro(2, false), "");
    EXPECT_EQ(f.Tx.MacrosesDataModule->ClientDataSet1.RecNo(), 1);
}

TEST_F(MacrosTest, TheLocalGreetingAndTheLastContact) {
    WriteMacros(Row("m", "<GREETING> <HOMETIME> <LASTQSO>", "CQ"));
    TMainForm& f = Start();
    host.log.fields = {{Ru("Дата"), "01.02.2026"}, {Ru("Диапазон"), "14"}, {Ru("Вид"), "BPSK31"}};
    now = 4 * 3600;
    EXPECT_EQ(f.ExpandMacro(1, false), "GM 4:00:00 01.02.2026; 14 MHz; BPSK31");
    now = 12 * 3600 + 59 * 60;
    host.log.empty = true;
    EXPECT_EQ(f.ExpandMacro(1, false), "GM 12:59:00 ");
    now = 3 * 3600 + 59 * 60;
    EXPECT_EQ(f.ExpandMacro(1, false).substr(0, 2), "GE");
}

TEST_F(MacrosTest, APreviewShowsTheControlTagsInABalloonAndSendingActsOnThem) {
    WriteMacros(Row("end", "73 <SAVEQSO><RX>", "CQ"));
    TMainForm& f = Start();
    TToolButtonX& button = f.ToolBar1.Buttons(0);
    button.SetScreenRect({10, 20, 60, 41});
    button.MouseDown(TMouseButton::mbRight, 0, 3, 4);
    ASSERT_TRUE(f.BalloonHint1.Shown());
    EXPECT_EQ(f.BalloonHint1.Title(), Ru("Текст:"));
    EXPECT_EQ(f.BalloonHint1.Text(), "73 <SAVEQSO><RX>");
    EXPECT_FALSE(button.ShowHint);
    EXPECT_FALSE(f.Tx.SaveQsoAfterTx);
    sim.Dispatcher.Advance(7999);
    EXPECT_TRUE(f.BalloonHint1.Shown());
    sim.Dispatcher.Advance(1);
    EXPECT_FALSE(f.BalloonHint1.Shown());
    EXPECT_TRUE(button.ShowHint);
    button.MouseDown(TMouseButton::mbRight, 0, 3, 4);
    f.BalloonHint1.Click();
    EXPECT_FALSE(f.BalloonHint1.Shown());
    EXPECT_TRUE(button.ShowHint);

    button.Click();
    EXPECT_EQ(f.Memo1.Text(), "73 \r\n");
    EXPECT_TRUE(f.Tx.SaveQsoAfterTx);
    EXPECT_TRUE(f.Tx.RxTagSeen);
}

TEST_F(MacrosTest, AGreetingTimeThatIsNotATimeFailsWithoutTextOrBalloon) {
    WriteMacros(Row("g", "<GREETINGX>", "CQ"));
    TMainForm& f = Start();
    host.OpenNewQso();
    host.newQso.greeting = "noon";
    f.ToolBar1.Buttons(0).Click();
    EXPECT_EQ(f.Memo1.Text(), "");
    ASSERT_FALSE(sim.Dialogs.Messages.empty());
    EXPECT_EQ(sim.Dialogs.Messages.back().Text, "'noon' is not a valid time.");
    f.ToolBar1.Buttons(0).MouseDown(TMouseButton::mbRight, 0, 0, 0);
    EXPECT_FALSE(f.BalloonHint1.Shown());
    EXPECT_TRUE(f.ToolBar1.Buttons(0).ShowHint);
}

TEST_F(MacrosTest, TheHostEditorsPacketReadsBackThroughTheWindow) {
    const auto macros = pavohost::ParseMacroList(
        "CQ | CQ | F5 | CQ CQ de <MYCALL> <TX>\n"
        "QSO (Ru) | Имя | | Меня зовут \\ Иван\\nи всё\n");
    WriteAll(MacroFile(), pavohost::FormatMacroPacket(macros));
    TMainForm& f = Start();
    ASSERT_EQ(f.ToolBar1.ButtonCount(), 1);
    EXPECT_EQ(f.ToolBar1.Buttons(0).Caption(), "CQ (F5)");
    ASSERT_EQ(f.ToolBar2.ButtonCount(), 1);
    EXPECT_EQ(f.ToolBar2.Buttons(0).Caption(), Ru("Имя"));
    EXPECT_EQ(f.Tx.MacrosesDataModule->ClientDataSet1.Record(2).Text, Ru("Меня зовут \\ Иван\r\nи всё"));
}

}  // namespace
}  // namespace quorvel::testing
