// The loopback engine's transmit side: queue, transmit state, echo timing and
// feed requests, all on the virtual clock.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LoopbackEngine.h"
#include "SimDispatcher.h"

namespace quorvel::testing {
namespace {

struct Recorder : IModemEngineEvents {
    struct Echo {
        std::int64_t At;
        std::int16_t Channel;
        char16_t Char;
        bool TxDuringEcho;
    };
    sim::TSimDispatcher* clock = nullptr;
    TModemEngine* engine = nullptr;
    std::vector<Echo> echoes;
    std::vector<std::uint16_t> codes;
    std::vector<std::pair<std::int64_t, std::int16_t>> states;
    int requests = 0;
    std::u16string feed;  // what OnGetTxChar hands out, one by one
    std::size_t fed = 0;
    std::function<void(char16_t)> onEcho;

    void OnRxChar(std::int16_t nIndex, const std::u16string& strChar, std::uint16_t wChar) override {
        ASSERT_EQ(strChar.size(), 1u);
        codes.push_back(wChar);
        echoes.push_back({clock->Now(), nIndex, strChar[0], engine->bTX() != 0});
        if (onEcho) onEcho(strChar[0]);
    }
    void OnTxState(std::int16_t wState) override { states.emplace_back(clock->Now(), wState); }
    void OnGetTxChar(std::uint16_t& wChar) override {
        ++requests;
        if (fed < feed.size()) wChar = feed[fed++];
    }
    std::u16string Echoed() const {
        std::u16string s;
        for (const auto& e : echoes) s += e.Char;
        return s;
    }
};

class LoopbackTransmit : public ::testing::Test {
protected:
    LoopbackTransmit() {
        events.clock = &clock;
        events.engine = &engine;
        engine.SetEvents(&events);
    }
    // BPSK at 31.25 baud: 1000 / (31.25 / 6.5) = 208 ms a character.
    static constexpr std::int64_t kChar = 208;

    sim::TSimDispatcher clock;
    TLoopbackEngine engine{clock};
    Recorder events;
};

TEST_F(LoopbackTransmit, QueuedCharactersWaitForTransmitAndComeBackAtTheCharacterRate) {
    engine.SendChar(u'c');
    engine.SendText(u"q\r");
    clock.Advance(5000);
    EXPECT_TRUE(events.echoes.empty());
    EXPECT_FALSE(engine.bTX());

    engine.SetTxState(TxStateTransmit);
    EXPECT_TRUE(engine.bTX());
    // The state event comes through the message queue, not from inside the call.
    EXPECT_TRUE(events.states.empty());
    clock.ProcessMessages();
    ASSERT_EQ(events.states.size(), 1u);
    EXPECT_EQ(events.states[0].second, TxStateTransmit);

    clock.Advance(kChar - 1);
    EXPECT_TRUE(events.echoes.empty());
    clock.Advance(1);
    ASSERT_EQ(events.echoes.size(), 1u);
    clock.Advance(2 * kChar);
    ASSERT_EQ(events.echoes.size(), 3u);
    const std::int64_t start = 5000;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(events.echoes[i].At, start + static_cast<std::int64_t>(i + 1) * kChar);
        EXPECT_EQ(events.echoes[i].Channel, 0);
        EXPECT_TRUE(events.echoes[i].TxDuringEcho);
    }
    EXPECT_EQ(events.Echoed(), u"cq\r");
    EXPECT_EQ(engine.SentText(), u"cq\r");
    // Without an end request the station keeps transmitting, asking for more.
    clock.Advance(10 * kChar);
    EXPECT_TRUE(engine.bTX());
    EXPECT_GE(events.requests, 9);
}

TEST_F(LoopbackTransmit, EndRequestFinishesTheQueueFirst) {
    engine.SendText(u"73");
    engine.SetTxState(TxStateTransmit);
    engine.SetTxState(TxStateEnd);
    EXPECT_TRUE(engine.bTX());
    clock.Advance(2 * kChar);
    EXPECT_EQ(events.Echoed(), u"73");
    EXPECT_TRUE(engine.bTX());
    clock.Advance(kChar);
    EXPECT_FALSE(engine.bTX());
    ASSERT_EQ(events.states.size(), 2u);
    EXPECT_EQ(events.states[1], std::make_pair(std::int64_t{3 * kChar}, std::int16_t{TxStateReceive}));
    // Ending never asks the window for more text.
    EXPECT_EQ(events.requests, 0);

    // Ending while receiving changes nothing.
    engine.SetTxState(TxStateEnd);
    clock.Advance(5 * kChar);
    EXPECT_EQ(events.states.size(), 2u);
}

TEST_F(LoopbackTransmit, EndRequestedFromTheLastEchoReturnsToReceive) {
    engine.SendText(u"ab");
    std::size_t echoes = 0;
    events.onEcho = [&](char16_t) {
        if (++echoes == 2) engine.SetTxState(TxStateEnd);
    };
    engine.SetTxState(TxStateTransmit);
    clock.Advance(10 * kChar);
    EXPECT_FALSE(engine.bTX());
    EXPECT_EQ(events.Echoed(), u"ab");
    ASSERT_EQ(events.states.size(), 2u);
    EXPECT_EQ(events.states[1].second, TxStateReceive);
    EXPECT_EQ(events.states[1].first, 3 * kChar);
}

TEST_F(LoopbackTransmit, ReceiveNowDropsTheQueueAtOnce) {
    engine.SendText(u"cq cq de");
    engine.SetTxState(TxStateTransmit);
    clock.Advance(2 * kChar);
    engine.SetTxState(TxStateReceive);
    EXPECT_FALSE(engine.bTX());
    EXPECT_TRUE(engine.TxQueue().empty());
    clock.Advance(10 * kChar);
    EXPECT_EQ(events.Echoed(), u"cq");
    ASSERT_EQ(events.states.size(), 2u);
    EXPECT_EQ(events.states[1].second, TxStateReceive);

    // The next transmission starts clean.
    engine.SendChar(u'k');
    engine.SetTxState(TxStateTransmit);
    engine.SetTxState(TxStateEnd);
    clock.Advance(10 * kChar);
    EXPECT_EQ(events.Echoed(), u"cqk");
    EXPECT_FALSE(engine.bTX());
}

TEST_F(LoopbackTransmit, FeedRequestsComeOnlyWhenTheQueueIsEmpty) {
    events.feed = u"de";
    engine.SendText(u" ");
    engine.SetTxState(TxStateTransmit);
    clock.Advance(kChar);
    EXPECT_EQ(events.requests, 0);  // the queued space went first
    clock.Advance(2 * kChar);
    EXPECT_EQ(events.Echoed(), u" de");
    EXPECT_EQ(events.requests, 2);
    // Text queued in the middle of a feed goes out before the next request.
    engine.SendChar(u'x');
    events.feed += u"k";
    clock.Advance(2 * kChar);
    EXPECT_EQ(events.Echoed(), u" dexk");
    // Nothing to feed: idle, no echo, still transmitting.
    clock.Advance(3 * kChar);
    EXPECT_EQ(events.Echoed(), u" dexk");
    EXPECT_TRUE(engine.bTX());
}

TEST_F(LoopbackTransmit, CharacterCodesAreTheCodePagesStringsAreUtf16) {
    engine.SendChar(0xFF);          // я
    engine.SendText(u"\u0451");     // ё
    engine.SendChar(u'k');
    events.feed = std::u16string(1, char16_t{0xE0});  // а, as the window answers it
    engine.SetTxState(TxStateTransmit);
    clock.Advance(4 * kChar);
    EXPECT_EQ(events.Echoed(), u"\u044F\u0451k\u0430");
    EXPECT_EQ(events.codes, (std::vector<std::uint16_t>{0xFF, 0xB8, 'k', 0xE0}));
    EXPECT_EQ(engine.SentText(), u"\u044F\u0451k\u0430");
    // A character outside the code page keeps its UTF-16 code.
    engine.SetTxState(TxStateReceive);
    // A closed extra channel decodes nothing; once open it does.
    const std::size_t before = events.codes.size();
    engine.Receive(1, u"\u4E2D");
    clock.Advance(2 * kChar);
    EXPECT_EQ(events.codes.size(), before);
    EXPECT_EQ(engine.PendingReceive(1), 0u);
    engine.set_ChannelOpen(1, OleTrue);
    engine.Receive(1, u"\u4E2D");
    clock.Advance(2 * kChar);
    EXPECT_EQ(events.codes.back(), 0x4E2D);
}

TEST_F(LoopbackTransmit, CharacterRateFollowsTheMainChannelMode) {
    engine.set_Mode(0, 5);  // rtty-L
    engine.set_Speed(0, 45.45);
    clock.ProcessMessages();
    engine.SendText(u"ry");
    engine.SetTxState(TxStateTransmit);
    // 45.45 baud / 7.5 bits: 165 ms a character.
    clock.Advance(164);
    EXPECT_TRUE(events.echoes.empty());
    clock.Advance(1);
    ASSERT_EQ(events.echoes.size(), 1u);
    clock.Advance(165);
    ASSERT_EQ(events.echoes.size(), 2u);
    EXPECT_EQ(events.echoes[1].At, 330);
}

TEST_F(LoopbackTransmit, ToneTransmitsWithoutEchoUntilReceive) {
    engine.SendTone();
    EXPECT_TRUE(engine.bTX());
    EXPECT_TRUE(engine.ToneOn());
    clock.Advance(20 * kChar);
    EXPECT_TRUE(events.echoes.empty());
    EXPECT_EQ(events.requests, 0);
    engine.SetTxState(TxStateReceive);
    EXPECT_FALSE(engine.ToneOn());
    clock.Advance(kChar);
    ASSERT_EQ(events.states.size(), 2u);
    EXPECT_EQ(events.states[1].second, TxStateReceive);
}

TEST_F(LoopbackTransmit, RemoteTextWaitsWhileTransmitting) {
    engine.SendText(u"ab");
    engine.SetTxState(TxStateTransmit);
    engine.set_ChannelOpen(2, OleTrue);
    engine.Receive(0, u"xy");
    engine.Receive(2, u"z");
    clock.Advance(kChar);
    engine.SetTxState(TxStateEnd);
    clock.Advance(2 * kChar);
    // Only the echoes arrived while transmitting.
    EXPECT_EQ(events.Echoed(), u"ab");
    EXPECT_FALSE(engine.bTX());
    clock.Advance(3 * kChar);
    EXPECT_EQ(events.Echoed(), u"abxzy");
    for (std::size_t i = 2; i < events.echoes.size(); ++i) EXPECT_FALSE(events.echoes[i].TxDuringEcho);
    EXPECT_EQ(events.echoes[3].Channel, 2);
}

TEST_F(LoopbackTransmit, EngineDestroyedByAnEchoHandlerStopsCleanly) {
    auto owned = std::make_unique<TLoopbackEngine>(clock);
    Recorder local;
    local.clock = &clock;
    local.engine = owned.get();
    owned->SetEvents(&local);
    local.onEcho = [&](char16_t) { owned.reset(); };
    owned->SendText(u"abc");
    owned->SetTxState(TxStateTransmit);
    clock.Advance(10 * kChar);
    EXPECT_EQ(local.Echoed(), u"a");
}

}  // namespace
}  // namespace quorvel::testing
