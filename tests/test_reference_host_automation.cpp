// How a host reaches what it cannot hold across the ABI: the plug-in's window
// through automation messages, and the loopback engine the plug-in created
// through the engine module's simulation table.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <stdexcept>

#include "Description.h"
#include "LoopbackSimulation.h"
#include "PluginFixture.h"
#include "base/CodePage.h"
#include "pavo/automation.h"
#include "ui/Controls.h"
#include "ui/RichEdit.h"

#include <initializer_list>

namespace quorvel::testing {
namespace {

struct Reply {
    std::string text;
    int calls = 0;
    static void PAVO_CALL Take(void* context, const char* text, std::int32_t length) {
        auto* self = static_cast<Reply*>(context);
        self->text.assign(text, static_cast<std::size_t>(length));
        ++self->calls;
    }
};

std::intptr_t Automate(IWindowSystem& windows, THandle window, const char* verb, const char* target, const char* argument,
                       Reply* reply) {
    PavoAutomationRequest request{};
    request.Size = sizeof request;
    request.Verb = verb;
    request.Target = target;
    request.Argument = argument;
    request.Reply = reply != nullptr ? &Reply::Take : nullptr;
    request.ReplyContext = reply;
    return windows.SendMessage(window, PAVO_MSG_AUTOMATION, reinterpret_cast<std::uintptr_t>(&request), 0);
}

using Automation = PluginFixture;

TEST_F(Automation, TheMainWindowDescribesItselfInUtf8Xml) {
    host.transceiver.frequency = 7035000;
    host.OpenNewQso();
    host.newQso.rstSent.text = "579";
    const THandle h = library->Run(&host.session, 1);
    Reply reply;
    ASSERT_EQ(Automate(sim.Windows, h, "describe", "", "", &reply), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(reply.calls, 1);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(reply.text.c_str())) << reply.text;
    const pugi::xml_node window = doc.child("window");
    EXPECT_STREQ(window.attribute("name").value(), "MainForm");
    EXPECT_EQ(std::string(window.attribute("caption").value()), "Цифровые виды связи");
    EXPECT_STREQ(window.attribute("visible").value(), "1");
    EXPECT_STREQ(window.find_child_by_attribute("label", "name", "Label7").text().get(), "7.035.000");
    EXPECT_EQ(std::string(window.find_child_by_attribute("combo", "name", "mnuModes").attribute("caption").value()),
              "Вид:");
    EXPECT_STREQ(window.find_child_by_attribute("edit", "name", "Edit2").text().get(), "579");
    EXPECT_TRUE(window.find_child_by_attribute("pane", "name", "RichEdit1"));
    EXPECT_TRUE(window.find_child_by_attribute("memo", "name", "Memo1"));
    EXPECT_FALSE(window.find_child_by_attribute("name", "BarMainMenu")) << "menus are reached, not described";

    library->MainForm->Close();
    ASSERT_EQ(Automate(sim.Windows, h, "describe", nullptr, nullptr, &reply), PAVO_AUTOMATION_DONE);
    EXPECT_NE(reply.text.find("visible=\"0\""), std::string::npos);
}

TEST_F(Automation, TheCloseButtonWorksLikeTheUsersAndPostsTheSignal) {
    const THandle h = library->Run(&host.session, 77);
    EXPECT_EQ(Automate(sim.Windows, h, "close", "", "", nullptr), PAVO_AUTOMATION_DONE);
    EXPECT_FALSE(sim.Windows.IsVisible(h));
    sim.Dispatcher.Advance(0);
    const auto signals = Received(PAVO_MSG_CLOSE);
    ASSERT_EQ(signals.size(), 1u);
    EXPECT_EQ(signals[0].LParam, 77);
}

TEST_F(Automation, UnknownAndMalformedRequestsAreAnsweredNotCrashed) {
    const THandle h = library->Run(&host.session, 1);
    Reply reply;
    EXPECT_EQ(Automate(sim.Windows, h, "juggle", "Memo1", "x", &reply), PAVO_AUTOMATION_UNKNOWN_VERB);
    EXPECT_EQ(reply.text, "no verb \"juggle\"");
    EXPECT_EQ(Automate(sim.Windows, h, nullptr, "", "", &reply), PAVO_AUTOMATION_BAD_REQUEST);
    EXPECT_EQ(sim.Windows.SendMessage(h, PAVO_MSG_AUTOMATION, 0, 0), PAVO_AUTOMATION_BAD_REQUEST);
    PavoAutomationRequest old{};
    old.Size = 8;  // a smaller record than this window knows
    old.Verb = "describe";
    EXPECT_EQ(sim.Windows.SendMessage(h, PAVO_MSG_AUTOMATION, reinterpret_cast<std::uintptr_t>(&old), 0),
              PAVO_AUTOMATION_BAD_REQUEST);

    // A verb that fails inside is a refusal, never an exception through SendMessage.
    library->MainForm->Automation.AddVerb("click", [](const std::string&, const std::string&) -> TAutomationResult {
        throw std::runtime_error("broken handler");
    });
    EXPECT_EQ(Automate(sim.Windows, h, "click", "Memo1", "", &reply), PAVO_AUTOMATION_REFUSED);
    EXPECT_EQ(reply.text, "broken handler");
    library->MainForm->Automation.AddVerb("click", [](const std::string& target, const std::string& argument) {
        return target == Ru("Кнопка") ? TAutomation::Done(argument) : TAutomation::UnknownTarget(target);
    });
    EXPECT_EQ(Automate(sim.Windows, h, "click", Ru("Кнопка").c_str(), "ok", &reply), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(reply.text, "ok");
    EXPECT_EQ(Automate(sim.Windows, h, "click", "Nothing", "", &reply), PAVO_AUTOMATION_UNKNOWN_TARGET);
}

// The loopback module as a host finds it: by file, beside the plug-in.
class LoopbackModule : public ::testing::Test {
protected:
    LoopbackModule() {
        module = dlopen(QUORVEL_BIN_DIR "/libquorvel-loopback.so", RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) return;
        auto get = reinterpret_cast<QuorvelLoopbackSimulationFn>(dlsym(module, QUORVEL_LOOPBACK_SIMULATION_SYMBOL));
        create = reinterpret_cast<TModemEngine* (*)(IDispatcher*)>(dlsym(module, "QuorvelCreateModemEngine"));
        table = get != nullptr ? get() : nullptr;
    }
    ~LoopbackModule() override {
        if (module != nullptr) dlclose(module);
    }
    struct Heard : IModemEngineEvents {
        std::u16string text;
        std::vector<std::int64_t> times;
        sim::TSimDispatcher* clock = nullptr;
        void OnRxChar(std::int16_t, const std::u16string& s, std::uint16_t) override {
            text += s;
            times.push_back(clock->Now());
        }
    };
    void* module = nullptr;
    const QuorvelLoopbackSimulation* table = nullptr;
    TModemEngine* (*create)(IDispatcher*) = nullptr;
    sim::TSimDispatcher dispatcher;
};

TEST_F(LoopbackModule, ADriverReachesTheEnginesTheModuleMade) {
    ASSERT_NE(table, nullptr);
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(table->Version, QUORVEL_LOOPBACK_SIMULATION_VERSION);
    EXPECT_EQ(table->EngineCount(), 0);
    EXPECT_EQ(table->Receive(0, 0, "x"), -1) << "no engine yet";

    std::unique_ptr<TModemEngine> first(create(&dispatcher));
    std::unique_ptr<TModemEngine> second(create(&dispatcher));
    ASSERT_EQ(table->EngineCount(), 2);
    const std::int32_t firstSerial = table->EngineSerial(0);
    EXPECT_EQ(table->EngineSerial(1), firstSerial + 1);
    first.reset();
    ASSERT_EQ(table->EngineCount(), 1);
    EXPECT_EQ(table->EngineSerial(0), firstSerial + 1) << "the survivor moved up";

    Heard heard;
    heard.clock = &dispatcher;
    second->SetEvents(&heard);
    EXPECT_EQ(table->Receive(0, 5, "x"), -1);
    EXPECT_EQ(table->Receive(0, -1, "x"), -1);
    ASSERT_EQ(table->Receive(0, 0, "CQ Ж"), 1);
    EXPECT_EQ(table->PendingReceive(0, 0), 4);
    EXPECT_EQ(table->PendingReceive(0, 1), 0);
    dispatcher.Advance(10000);
    EXPECT_EQ(heard.text, u"CQ \u0416");
    EXPECT_EQ(table->PendingReceive(0, 0), 0);
    // BPSK31 at about 4.8 characters a second.
    ASSERT_EQ(heard.times.size(), 4u);
    EXPECT_EQ(heard.times[1] - heard.times[0], 208);

    QuorvelLoopbackChannel channel{};
    ASSERT_EQ(table->ChannelState(0, 0, &channel), 1);
    EXPECT_STREQ(channel.Mode, "BPSK");
    EXPECT_DOUBLE_EQ(channel.Speed, 31.25);
    EXPECT_EQ(channel.RxCarrier, 1750);
    EXPECT_EQ(channel.Open, 1);
    ASSERT_EQ(table->SetSignalToNoise(0, 2, 17.5), 1);
    ASSERT_EQ(table->ChannelState(0, 2, &channel), 1);
    EXPECT_EQ(channel.Open, 0);
    EXPECT_DOUBLE_EQ(channel.SignalToNoise, 17.5);
    EXPECT_EQ(table->ChannelState(0, 2, nullptr), -1);

    EXPECT_EQ(table->Transmitting(0), 0);
    second->SendText(u"73 Ж");
    second->SetTxState(TxStateTransmit);
    dispatcher.Advance(0);
    EXPECT_EQ(table->Transmitting(0), 1);
    second->SetTxState(TxStateEnd);
    dispatcher.Advance(10000);
    EXPECT_EQ(table->Transmitting(0), 0);
    EXPECT_EQ(table->SentCount(0), 4);
    char small[4];
    EXPECT_EQ(table->SentText(0, 0, small, sizeof small), 5) << "UTF-8 bytes of the whole text";
    EXPECT_STREQ(small, "73 ");
    char rest[16];
    EXPECT_EQ(table->SentText(0, 3, rest, sizeof rest), 2);
    EXPECT_EQ(std::string(rest), "\xD0\x96");
    EXPECT_EQ(table->SentText(0, 99, rest, sizeof rest), 0);
    EXPECT_EQ(table->SentText(3, 0, rest, sizeof rest), -1);
    second->SetEvents(nullptr);
}

}  // namespace
}  // namespace quorvel::testing

namespace quorvel::testing {
namespace {

// A window of the form model with one control of each kind, as a plug-in's
// window registers them.
class TTestForm : public TForm {
public:
    explicit TTestForm(TApplication& app) : TForm(app, 0) {
        Name = "TestForm";
        Callsign.SetCaption(Ru("Позывной:"));
        Callsign.MaxLength = 6;
        Callsign.CharCase = TEditCharCase::ecUpperCase;
        Callsign.OnKeyPress = [](TComponent*, char& key) {
            if (key == ' ') key = 0;
        };
        Callsign.OnKeyDown = [this](TComponent*, std::uint16_t& key, TShiftState shift) { keys.emplace_back(key, shift); };
        Send.SetCaption("TX/RX");
        Send.ButtonStyle = TButtonStyle::bsChecked;
        Send.OnClick = [this](TComponent*) { ++sends; };
        Modes.AddItem("BPSK");
        Modes.AddItem("QPSK");
        Modes.OnChange = [this](TComponent*) { ++modeChanges; };
        Pages.AddPage(Main);
        Pages.AddPage(Extra);
        Main.SetCaption(Ru("Основной канал"));
        Extra.SetCaption(Ru("Канал 1"));
        Extra.SetTabVisible(false);
        Carrier.MinValue = 0;
        Carrier.MaxValue = 3000;
        Status.AddPanel(50, false, "S/N 12");
        Pane.PopupMenu = &Capture;
        Pane.OnMouseUp = [this](TComponent*, TMouseButton button, TShiftState, int, int) {
            if (button == TMouseButton::mbLeft) Capture.Popup(TPoint{});
        };
        TakeCall.SetCaption(Ru("Позывной"));
        TakeCall.OnClick = [this](TComponent*) { captured = Pane.SelStart(); };
        Capture.ItemLinks.Add(TakeCall);
        Disabled.SetCaption("Off");
        Disabled.SetEnabled(false);
        Disabled.OnClick = [this](TComponent*) { ++sends; };
        Capture.ItemLinks.Add(Disabled, true);
        Macro.AddButton(std::make_unique<TToolButtonX>("Macro1")).SetCaption("CQ (F1)");
        Macro.Buttons(0).OnClick = [this](TComponent*) { ++macros; };
        for (TComponent* c : std::initializer_list<TComponent*>{&Callsign, &Memo, &Send, &Modes, &Pages, &Carrier,
                                                                  &Pane, &Macro, &Status})
            Automation.AddControl(*c);
        Automation.AddControl(Capture, false);
    }

    TFocusScope Focus;
    TEdit Callsign{"Edit1", &Focus};
    TMemo Memo{"Memo1", &Focus};
    TSpeedButton Send{"RsSpeedButton1"};
    TComboBox Modes{"mnuModes"};
    TPageControl Pages{"RzPageControl1"};
    TTabSheet Main{"TabSheet1"}, Extra{"TabSheet2"};
    TSpinEdit Carrier{"mnuRXFreq", &Focus};
    TRichEdit Pane{"RichEdit1", &Focus};
    TPopupMenu Capture{"dxBarPopupMenu3"};
    TButtonItem TakeCall{"mnuIsCallsign"}, Disabled{"mnuDisabled"};
    TToolBar Macro{"ToolBar1"};
    TStatusBar Status{"StatusBar1"};

    std::vector<std::pair<std::uint16_t, TShiftState>> keys;
    int sends = 0, modeChanges = 0, macros = 0, captured = -1;
};

class ControlAutomation : public ::testing::Test {
protected:
    int Run(const char* verb, const std::string& target, const std::string& argument, std::string* reply = nullptr) {
        Reply r;
        const auto result = Automate(sim.Windows, form->Handle(), verb, target.c_str(), argument.c_str(), &r);
        if (reply != nullptr) *reply = r.text;
        return static_cast<int>(result);
    }
    sim::TSimPlatform sim;
    TApplication app{sim.Ports()};
    std::unique_ptr<TTestForm> form = TForm::Create<TTestForm>(app);
};

TEST_F(ControlAutomation, TypingGoesThroughTheControlsKeyHandling) {
    form->Callsign.SetText("OLD");
    ASSERT_EQ(Run("type", "Edit1", "dl 1abc"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Callsign.Text(), "DL1ABC") << "the field's text was selected on entry, the space dropped";
    EXPECT_TRUE(form->Callsign.Focused());
    ASSERT_EQ(Run("type", Ru("Позывной:"), "XYZ"), PAVO_AUTOMATION_DONE) << "by caption";
    EXPECT_EQ(form->Callsign.Text(), "DL1ABC") << "already focused: the caret is at the end, the length limit holds";
    ASSERT_EQ(Run("type", "Edit1", "\b\b\b\r"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Callsign.Text(), "DL1");
    ASSERT_EQ(form->keys.size(), 4u);
    EXPECT_EQ(form->keys[3].first, 0x0D) << "Enter arrives as its key";
    ASSERT_EQ(Run("key", "Edit1", "Ctrl+L"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->keys.back().first, 'L');
    EXPECT_EQ(form->keys.back().second, ssCtrl);
    EXPECT_EQ(Run("key", "Edit1", "Hyper+Q"), PAVO_AUTOMATION_REFUSED);

    form->Memo.SetText("CQ");
    ASSERT_EQ(Run("type", "Memo1", " de R3ABC\r"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Memo.Text(), "CQ de R3ABC\r\n");
    ASSERT_EQ(Run("type", "mnuRXFreq", "5"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Carrier.CurText(), "05");
    ASSERT_EQ(Run("set", "mnuRXFreq", "1250"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Carrier.CurText(), "1250");
    EXPECT_EQ(Run("type", "RsSpeedButton1", "x"), PAVO_AUTOMATION_REFUSED);
    EXPECT_EQ(Run("type", "Nothing", "x"), PAVO_AUTOMATION_UNKNOWN_TARGET);
}

TEST_F(ControlAutomation, ClicksSelectionsAndMenusActAsTheUsers) {
    ASSERT_EQ(Run("click", "TX/RX", ""), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->sends, 1);
    EXPECT_TRUE(form->Send.Down());
    form->Send.SetEnabled(false);
    std::string reply;
    EXPECT_EQ(Run("click", "RsSpeedButton1", "", &reply), PAVO_AUTOMATION_REFUSED);
    EXPECT_EQ(reply, "\"RsSpeedButton1\" is disabled or hidden");
    EXPECT_EQ(form->sends, 1);

    ASSERT_EQ(Run("select", "mnuModes", "QPSK"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Modes.Text(), "QPSK");
    EXPECT_EQ(form->modeChanges, 1);
    EXPECT_EQ(Run("select", "mnuModes", "AM"), PAVO_AUTOMATION_REFUSED);
    EXPECT_EQ(Run("select", "RzPageControl1", Ru("Канал 1")), PAVO_AUTOMATION_REFUSED) << "a hidden tab";
    form->Extra.SetTabVisible(true);
    ASSERT_EQ(Run("select", "RzPageControl1", Ru("Канал 1")), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Pages.ActivePageIndex(), 1);

    // A click in the pane puts the caret there; releasing the button opens the
    // capture menu, from which an item is picked.
    form->Pane.SetText("CQ de DL1ABC");
    EXPECT_EQ(Run("click", "RichEdit1", "99"), PAVO_AUTOMATION_REFUSED);
    ASSERT_EQ(Run("click", "RichEdit1", "9"), PAVO_AUTOMATION_DONE);
    ASSERT_EQ(Run("pick", "", Ru("Позывной")), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->captured, 9);
    EXPECT_EQ(Run("pick", "", "Off"), PAVO_AUTOMATION_REFUSED);
    EXPECT_EQ(Run("pick", "", "Nope"), PAVO_AUTOMATION_UNKNOWN_TARGET);
    EXPECT_EQ(Run("pick", "dxBarPopupMenu3", Ru("Позывной")), PAVO_AUTOMATION_DONE);
    ASSERT_EQ(Run("popup", "RichEdit1", "3"), PAVO_AUTOMATION_DONE);
    EXPECT_EQ(form->Pane.SelStart(), 9) << "the right button does not move the caret";

    ASSERT_EQ(Run("click", "CQ (F1)", ""), PAVO_AUTOMATION_DONE) << "a toolbar's button by its caption";
    EXPECT_EQ(form->macros, 1);
}

TEST_F(ControlAutomation, TheDescriptionShowsEachControlsState) {
    form->Callsign.SetText("DL1ABC");
    form->Pane.SetInsertColor(clGreen);
    form->Pane.SetSelText("CQ\r\nde ");
    form->Pane.InsertPicture(1);
    form->Pane.SetInsertColor(clNavy);
    form->Pane.SetSelText("R3ABC");
    form->Modes.SetItemIndex(0);
    form->Send.SetDown(true);
    form->Carrier.SetValue(1750);
    form->Send.SetEnabled(false);
    std::string xml;
    ASSERT_EQ(Run("describe", "", "", &xml), PAVO_AUTOMATION_DONE);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(xml.c_str()));
    EXPECT_STREQ(doc.select_node("//run").node().text().get(), "CQ\r\nde ") << "a reader gets the CR LF back";
    EXPECT_EQ(xml,
              "<window name=\"TestForm\" caption=\"\" visible=\"0\">\n"
              "  <edit name=\"Edit1\" caption=\"Позывной:\">DL1ABC</edit>\n"
              "  <memo name=\"Memo1\" font=\"MS Sans Serif 8\" colour=\"sys8\" background=\"sys5\" />\n"
              "  <button name=\"RsSpeedButton1\" caption=\"TX/RX\" enabled=\"0\" down=\"1\" />\n"
              "  <combo name=\"mnuModes\" items=\"2\">BPSK</combo>\n"
              "  <tabs name=\"RzPageControl1\" active=\"Основной канал\">\n"
              "    <tab>Основной канал</tab>\n"
              "  </tabs>\n"
              "  <spin name=\"mnuRXFreq\">1750</spin>\n"
              "  <pane name=\"RichEdit1\" font=\"MS Sans Serif 8\" background=\"sys5\">\n"
              "    <run colour=\"#008000\">CQ&#13;\nde </run>\n"
              "    <picture />\n"
              "    <run colour=\"#000080\">R3ABC</run>\n"
              "  </pane>\n"
              "  <toolbar name=\"ToolBar1\">\n"
              "    <item>CQ (F1)</item>\n"
              "  </toolbar>\n"
              "  <statusbar name=\"StatusBar1\">\n"
              "    <panel>S/N 12</panel>\n"
              "  </statusbar>\n"
              "</window>\n");
}

}  // namespace
}  // namespace quorvel::testing

namespace pavohost {
namespace {

TEST(DescriptionTranscript, PaneTextOfOnlyWhiteSpaceIsShownAsThePaneHoldsIt) {
    // As the window writes it: indented, a space between two pictures, a
    // line break alone in its colour.
    pugi::xml_document doc;
    ASSERT_TRUE(LoadDescription(doc,
                                "<window name=\"MainForm\">\n"
                                "  <pane name=\"RichEdit1\">\n"
                                "    <run colour=\"#008000\">tnx hi hi 73</run>\n"
                                "    <picture />\n"
                                "    <run colour=\"#008000\"> </run>\n"
                                "    <picture />\n"
                                "    <run colour=\"#000080\">&#13;\n</run>\n"
                                "  </pane>\n"
                                "  <edit name=\"Edit1\">  </edit>\n"
                                "</window>\n"));
    const std::vector<std::string> expected = {
        "window MainForm",
        "  pane RichEdit1:",
        "    | {#008000}tnx hi hi 73{/#008000}{picture}{#008000} {/#008000}{picture}{#000080}",
        "    | {/#000080}",
        "  edit Edit1 = \"  \"",
    };
    EXPECT_EQ(RenderDescription(doc.document_element()), expected);
    EXPECT_FALSE(LoadDescription(doc, "<window"));
    EXPECT_FALSE(LoadDescription(doc, ""));
}

TEST(DescriptionTranscript, RendersControlsPanesAndListsAsLines) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(
        "<window name=\"MainForm\" caption=\"Цифровые виды связи\" visible=\"1\">\n"
        "  <spin name=\"mnuRXFreq\" caption=\"RX:\">1750</spin>\n"
        "  <edit name=\"Edit1\" enabled=\"0\"/>\n"
        "  <pane name=\"RichEdit1\"><run colour=\"#008000\">CQ de DL1ABC&#13;\nhi </run><picture/>"
        "<run colour=\"#000080\">R3ABC</run></pane>\n"
        "  <statusbar name=\"StatusBar1\"><panel>S/N=23dB</panel><panel/><panel>Ru</panel></statusbar>\n"
        "  <future name=\"X\"><part a=\"1\">b</part></future>\n"
        "</window>"));
    const auto lines = RenderDescription(doc.document_element());
    const std::vector<std::string> expected = {
        "window MainForm caption=\"Цифровые виды связи\" visible=1",
        "  spin mnuRXFreq caption=\"RX:\" = \"1750\"",
        "  edit Edit1 enabled=0",
        "  pane RichEdit1:",
        "    | {#008000}CQ de DL1ABC",
        "    | hi {/#008000}{picture}{#000080}R3ABC{/#000080}",
        "  statusbar StatusBar1: S/N=23dB |  | Ru",
        "  future X",
        "    part a=1 = \"b\"",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(FindDescribed(doc.document_element(), "RX:").name(), std::string("spin"));
    EXPECT_FALSE(FindDescribed(doc.document_element(), "Nothing"));
    EXPECT_EQ(Shown("a\"b\\c\r\n\t\x01"), "\"a\\\"b\\\\c\\r\\n\\t\\x01\"");
}

}  // namespace
}  // namespace pavohost
