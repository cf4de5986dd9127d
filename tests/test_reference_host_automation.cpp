// How a host reaches what it cannot hold across the ABI: the plug-in's window
// through automation messages, and the loopback engine the plug-in created
// through the engine module's simulation table.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <stdexcept>

#include "LoopbackSimulation.h"
#include "PluginFixture.h"
#include "base/CodePage.h"
#include "pavo/automation.h"

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
    EXPECT_STREQ(window.find_child_by_attribute("state", "name", "DialFrequency").text().get(), "7035000");
    const pugi::xml_node modes = window.find_child_by_attribute("list", "name", "ModeNames");
    EXPECT_STREQ(modes.first_child().text().get(), "GMSK");
    EXPECT_STREQ(modes.last_child().text().get(), "qpsk-U");

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
