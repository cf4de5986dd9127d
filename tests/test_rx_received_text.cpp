// The received-text pipeline's window-free parts: selective reception, the
// engine's characters in the code page, holding while the operator clicks,
// and what characters do to a receive pane.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "base/CodePage.h"
#include "rxtext/ReceivedText.h"

namespace quorvel::testing {
namespace {

constexpr TColor kRx = 0x008000;
constexpr TColor kTx = 0x800000;
constexpr int kSmiley = 101;

// The pane text with each picture as '@'.
std::string Shown(const TRichEdit& pane) {
    std::string s = pane.Text();
    for (const auto& p : pane.Pictures()) s[static_cast<std::size_t>(p.Position)] = '@';
    return s;
}

void Feed(TRichEdit& pane, std::string_view text, TColor color = kRx, bool smileys = true) {
    for (char c : text) ShowRxChar(pane, c, color, smileys, kSmiley);
}

TEST(RxSelective, TheListIsTheHundredAndThreeCodesOfTheCodePage) {
    std::set<unsigned char> distinct(AllowedRxChars.begin(), AllowedRxChars.end());
    EXPECT_EQ(distinct.size(), 103u);
    for (unsigned char c : AllowedRxChars) EXPECT_TRUE(IsAllowedRxChar(static_cast<char>(c))) << int(c);
    // Everything else whose upper case is not listed is dropped.
    int dropped = 0;
    for (int c = 0; c < 256; ++c) {
        const auto upper = static_cast<unsigned char>(UpperCp1251(static_cast<char>(c)));
        const bool listed = distinct.count(upper) != 0;
        EXPECT_EQ(IsAllowedRxChar(static_cast<char>(c)), listed) << c;
        if (!listed) ++dropped;
    }
    // 26 Latin and 33 Cyrillic small letters pass on top of the 103.
    EXPECT_EQ(dropped, 256 - 103 - 26 - 33);
}

TEST(RxSelective, DropsAngleBracketsGraveAndNumeroButKeepsSmallLetters) {
    for (char16_t c : {u'<', u'>', u'`', u'\u2116', u'\x7F', u'\x01'}) {
        const auto cp = RxCharToCp1251(std::u16string(1, c));
        ASSERT_TRUE(cp.has_value());
        EXPECT_FALSE(IsAllowedRxChar(*cp)) << int(c);
    }
    for (char16_t c : {u'a', u'\u044F' /* я */, u'\u0451' /* ё */, u'\u0401' /* Ё */, u'@', u'\r', u' ', u'\b'}) {
        const auto cp = RxCharToCp1251(std::u16string(1, c));
        ASSERT_TRUE(cp.has_value());
        EXPECT_TRUE(IsAllowedRxChar(*cp)) << int(c);
    }
}

TEST(RxSelective, EngineCharactersBecomeOneCodePageCharacter) {
    EXPECT_EQ(RxCharToCp1251(u"\u044F"), static_cast<char>(0xFF));
    EXPECT_EQ(RxCharToCp1251(u"\u0401"), static_cast<char>(0xA8));
    EXPECT_EQ(RxCharToCp1251(u"\u2116"), static_cast<char>(0xB9));
    EXPECT_EQ(RxCharToCp1251(u"\u4E2D"), '?');        // not in the code page
    EXPECT_EQ(RxCharToCp1251(u"\xD83D\xDE00"), '?');  // a surrogate pair is one character
    EXPECT_EQ(RxCharToCp1251(u""), std::nullopt);
}

TEST(RxPanes, ChannelsOneToFourHaveTheirOwnPanesEverythingElseTheMainOne) {
    for (int ch = 1; ch <= 4; ++ch) EXPECT_EQ(PaneIndexForChannel(ch), ch);
    for (int ch : {0, -1, 5, 32767, -32768}) EXPECT_EQ(PaneIndexForChannel(ch), 0);
}

TEST(RxPane, LineEnds) {
    TRichEdit pane("RichEdit1", nullptr);
    Feed(pane, "a\nb");
    EXPECT_EQ(pane.Text(), "ab");  // a line feed alone shows nothing
    Feed(pane, "\rc");
    EXPECT_EQ(pane.Text(), "ab\r\nc");
    Feed(pane, "\r\nd");
    EXPECT_EQ(pane.Text(), "ab\r\nc\r\nd");  // CR LF is one break
    EXPECT_EQ(pane.SelStart(), pane.GetTextLen());
    EXPECT_EQ(pane.SelLength(), 0);
}

TEST(RxPane, BackspaceRemovesOneCharacterOrAWholeBreak) {
    TRichEdit pane("RichEdit1", nullptr);
    Feed(pane, "\b");
    EXPECT_EQ(pane.Text(), "");
    Feed(pane, "ab\r\b");
    EXPECT_EQ(pane.Text(), "ab");
    Feed(pane, "\b\b\b");
    EXPECT_EQ(pane.Text(), "");
    // A picture is one character.
    Feed(pane, "x hi x");
    ASSERT_EQ(Shown(pane), "x @ x");
    Feed(pane, "\b\b\b");
    EXPECT_EQ(Shown(pane), "x ");
    EXPECT_TRUE(pane.Pictures().empty());
}

TEST(RxPane, ColourOfEachCharacterAndTheOperatorsSelectionLeftAlone) {
    TRichEdit pane("RichEdit1", nullptr);
    Feed(pane, "rx", kRx);
    Feed(pane, "tx", kTx);
    EXPECT_EQ(pane.ColorAt(0), kRx);
    EXPECT_EQ(pane.ColorAt(1), kRx);
    EXPECT_EQ(pane.ColorAt(2), kTx);
    EXPECT_EQ(pane.ColorAt(3), kTx);
    pane.SetSelStart(0);
    pane.SetSelLength(2);
    Feed(pane, "!", kTx);
    EXPECT_EQ(pane.ColorAt(0), kRx);
    EXPECT_EQ(pane.ColorAt(4), kTx);
    EXPECT_EQ(pane.SelStart(), 5);
}

TEST(RxSmiley, ReplacedWhenTheCharacterAfterTheClosingDelimiterArrives) {
    TRichEdit pane("RichEdit1", nullptr);
    Feed(pane, "tnx hi ");
    EXPECT_EQ(Shown(pane), "tnx hi ");
    Feed(pane, "h");
    EXPECT_EQ(Shown(pane), "tnx @ h");
    Feed(pane, "i ");
    EXPECT_EQ(Shown(pane), "tnx @ hi ");
    Feed(pane, "7");
    EXPECT_EQ(Shown(pane), "tnx @ @ 7");
    Feed(pane, "3");
    EXPECT_EQ(Shown(pane), "tnx @ @ 73");
    ASSERT_EQ(pane.Pictures().size(), 2u);
    EXPECT_EQ(pane.Pictures()[0].PictureId, kSmiley);
    EXPECT_EQ(pane.Pictures()[0].Position, 4);
    EXPECT_EQ(pane.Pictures()[1].Position, 6);
    EXPECT_EQ(pane.SelStart(), pane.GetTextLen());
}

TEST(RxSmiley, DelimitersAndCase) {
    TRichEdit pane("RichEdit1", nullptr);
    Feed(pane, "x(hi)y");
    EXPECT_EQ(Shown(pane), "x(@)y");
    Feed(pane, " HI!z");
    EXPECT_EQ(Shown(pane), "x(@)y @!z");
    Feed(pane, "\rhi,.");  // after a line break: the LF is the opening delimiter
    EXPECT_EQ(Shown(pane), "x(@)y @!z\r\n@,.");
    for (const char* closing : {"hi.", "hI,", "Hi "}) {
        TRichEdit other("RichEdit2", nullptr);
        Feed(other, std::string("a ") + closing + "k");
        EXPECT_EQ(other.Pictures().size(), 1u) << closing;
    }
}

TEST(RxSmiley, NotReplaced) {
    TRichEdit pane("RichEdit1", nullptr);
    Feed(pane, "hi there");  // at the very start of the pane
    EXPECT_EQ(Shown(pane), "hi there");
    Feed(pane, " hi\rnext");  // a line end is no closing delimiter
    Feed(pane, " hip hop");
    Feed(pane, " chi x");
    Feed(pane, " hi?x");
    EXPECT_TRUE(pane.Pictures().empty());
    TRichEdit off("RichEdit1", nullptr);
    Feed(off, "a hi hi", kRx, false);
    EXPECT_TRUE(off.Pictures().empty());
    // After a line break the hi waits for the character behind its delimiter.
    TRichEdit shortPane("RichEdit1", nullptr);
    Feed(shortPane, "\rhi!");
    EXPECT_TRUE(shortPane.Pictures().empty());
    Feed(shortPane, "x");
    EXPECT_EQ(Shown(shortPane), "\r\n@!x");
}

TEST(RxHold, FlushesInArrivalOrderEachToItsOwnOrigin) {
    THeldText held;
    EXPECT_TRUE(held.Empty());
    held.Add('a', {0, false});
    held.Add('b', {2, false});
    held.Add('c', {0, true});
    EXPECT_EQ(held.Text(), "abc");
    std::string order;
    std::vector<TRxOrigin> from;
    held.Flush([&](char c, TRxOrigin origin) {
        order += c;
        from.push_back(origin);
    });
    EXPECT_EQ(order, "abc");
    ASSERT_EQ(from.size(), 3u);
    EXPECT_EQ(from[1].Channel, 2);
    EXPECT_TRUE(from[2].Echo);
    EXPECT_FALSE(from[0].Echo);
    EXPECT_TRUE(held.Empty());
}

TEST(RxHold, AFailingCharacterIsNotShownTwiceAndTheRestWait) {
    THeldText held;
    for (char c : std::string("abcd")) held.Add(c, {static_cast<std::int16_t>(c - 'a'), false});
    std::string seen;
    EXPECT_THROW(held.Flush([&](char c, TRxOrigin) {
        seen += c;
        if (c == 'b') {
            held.Add('e', {4, false});  // arrived while processing
            throw std::runtime_error("disk full");
        }
    }),
                 std::runtime_error);
    EXPECT_EQ(held.Text(), "cde");
    std::vector<std::int16_t> channels;
    held.Flush([&](char c, TRxOrigin origin) {
        seen += c;
        channels.push_back(origin.Channel);
    });
    EXPECT_EQ(seen, "abcde");
    EXPECT_EQ(channels, (std::vector<std::int16_t>{2, 3, 4}));
}

}  // namespace
}  // namespace quorvel::testing
