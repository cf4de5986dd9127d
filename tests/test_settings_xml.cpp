// XML property files: the format written, loading of good and bad files, and
// the property kinds.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_settings_support.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "settings/ClassesX.h"
#include "settings/XmlPropertyFile.h"
#include "base/Graphics.h"

namespace quorvel::testing {
namespace {

enum class TMode : std::uint8_t { First, Second, Third };

class TSample : public TSrzClass {
public:
    TSample() {
        Property("Count", Count, 11025);
        Property("Flag", Flag, true);
        Property("Small", Small, std::int16_t{16384});
        Property("Byte", Byte, std::uint8_t{255});
        Property("Mode", Mode, TMode::Second);
        Property("Style", Style, TFontStyles{});
        Property("Color", Color, clWindow);
        Property("Ratio", Ratio, 0.5);
        Property("Name", Name, Ru("MS Sans Serif"));
    }
    std::int32_t Count;
    bool Flag;
    std::int16_t Small;
    std::uint8_t Byte;
    TMode Mode;
    TFontStyles Style;
    TColor Color;
    double Ratio;
    std::string Name;
};

class SrzClassTest : public TempFolderTest {};

TEST_F(SrzClassTest, WritesEveryPropertyInDeclarationOrderWithItsTag) {
    TSample s;
    s.Style = {TFontStyle::fsBold, TFontStyle::fsItalic};
    s.FileName = Path("a.xml");
    ASSERT_TRUE(s.Save());
    EXPECT_EQ(ReadAll(s.FileName),
              R"(<?xml version="1.0" ?><Configuration><Count type="Integer">11025</Count>)"
              R"(<Flag type="Integer">1</Flag><Small type="Integer">16384</Small>)"
              R"(<Byte type="Integer">255</Byte><Mode type="Integer">1</Mode>)"
              R"(<Style type="Integer">3</Style><Color type="Integer">-16777211</Color>)"
              R"(<Ratio type="Float">0.5</Ratio><Name type="String">MS Sans Serif</Name></Configuration>)");
}

TEST_F(SrzClassTest, RoundTripKeepsEveryKind) {
    TSample a;
    a.Count = -2147483647 - 1;
    a.Flag = false;
    a.Small = -32768;
    a.Byte = 7;
    a.Mode = TMode::Third;
    a.Style = {TFontStyle::fsUnderline, TFontStyle::fsStrikeOut};
    a.Color = 0x00123456;
    a.Ratio = 0.1 + 0.2;
    // Every cp1251 byte but NUL, blanks at both ends, markup characters.
    std::string all = "  <&>\"' ";
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    all += "  ";
    a.Name = all;
    a.FileName = Path("r.xml");
    ASSERT_TRUE(a.Save());

    TSample b;
    b.Count = 1;
    ASSERT_TRUE(b.Load(a.FileName));
    EXPECT_EQ(b.Count, a.Count);
    EXPECT_EQ(b.Flag, a.Flag);
    EXPECT_EQ(b.Small, a.Small);
    EXPECT_EQ(b.Byte, a.Byte);
    EXPECT_EQ(b.Mode, a.Mode);
    EXPECT_EQ(b.Style, a.Style);
    EXPECT_EQ(b.Color, a.Color);
    EXPECT_EQ(FloatToText(b.Ratio), FloatToText(a.Ratio));
    EXPECT_EQ(b.Name, a.Name);
    EXPECT_EQ(b.FileName, a.FileName);
}

TEST_F(SrzClassTest, StringsAreUtf8InTheFile) {
    TSample s;
    s.Name = Ru("Привет");
    s.FileName = Path("u.xml");
    ASSERT_TRUE(s.Save());
    EXPECT_NE(ReadAll(s.FileName).find("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"), std::string::npos);
}

TEST_F(SrzClassTest, FloatsAreWrittenShortestToFifteenDigits) {
    EXPECT_EQ(FloatToText(0.5), "0.5");
    EXPECT_EQ(FloatToText(11025.0), "11025");
    EXPECT_EQ(FloatToText(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FloatToText(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToText(1e20), "1E20");
    EXPECT_EQ(FloatToText(-1.5e-7), "-1.5E-7");
    EXPECT_EQ(TextToFloat("0,25"), 0.25);
    EXPECT_EQ(TextToFloat(" 1E20 "), 1e20);
    EXPECT_EQ(TextToFloat("abc"), 16777215.0);
    EXPECT_EQ(TextToFloat(""), 16777215.0);
    EXPECT_EQ(TextToFloat("1.5x"), 16777215.0);
    EXPECT_TRUE(std::isinf(TextToFloat(FloatToText(-INFINITY))));
}

TEST_F(SrzClassTest, IntegersAreStrictDecimal) {
    std::int32_t v = 5;
    EXPECT_TRUE(TextToInt("-16777211", v));
    EXPECT_EQ(v, -16777211);
    EXPECT_TRUE(TextToInt(" +12 ", v));
    EXPECT_EQ(v, 12);
    for (const char* bad : {"", "True", "1.0", "0x10", "2147483648", "+-1", "12a", "-"}) {
        v = 5;
        EXPECT_FALSE(TextToInt(bad, v)) << bad;
        EXPECT_EQ(v, 5) << bad;
    }
}

TEST_F(SrzClassTest, MissingFileKeepsDefaultsAndRemembersThePath) {
    TSample s;
    s.Count = 42;
    EXPECT_TRUE(s.Load(Path("none.xml")));
    EXPECT_EQ(s.Count, 42);
    EXPECT_EQ(s.FileName, Path("none.xml"));
    EXPECT_FALSE(FileExists(Path("none.xml")));
}

TEST_F(SrzClassTest, EmptyOrRootlessFilesChangeNothing) {
    for (const char* text : {"", "<?xml version=\"1.0\" ?>", "<Other><Count type=\"Integer\">1</Count></Other>",
                             "<Configuration><Count type=\"Integer\">1</Count>", "\xFF\xFE garbage"}) {
        TSample s;
        WriteAll(Path("bad.xml"), text);
        EXPECT_FALSE(s.Load(Path("bad.xml"))) << text;
        EXPECT_EQ(s.Count, 11025) << text;
        EXPECT_EQ(ReadAll(Path("bad.xml")), text);  // never touched
    }
}

TEST_F(SrzClassTest, ChildWithoutTypeStopsTheLoadAfterTheGoodOnes) {
    for (const char* fourth : {"<Byte>1</Byte>", "<!-- note -->", "<?pi x?>", "stray text", "<![CDATA[x]]>"}) {
        TSample s;
        WriteAll(Path("p.xml"), std::string("<?xml version=\"1.0\" ?><Configuration>"
                                            "<Count type=\"Integer\">1</Count><Flag type=\"Integer\">0</Flag>"
                                            "<Small type=\"Integer\">2</Small>") +
                                    fourth + "<Byte type=\"Integer\">3</Byte></Configuration>");
        EXPECT_FALSE(s.Load(Path("p.xml"))) << fourth;
        EXPECT_EQ(s.Count, 1);
        EXPECT_FALSE(s.Flag);
        EXPECT_EQ(s.Small, 2);
        EXPECT_EQ(s.Byte, 255) << fourth;
    }
}

TEST_F(SrzClassTest, NamesMatchWithoutCaseAndTheLaterDuplicateWins) {
    TSample s;
    WriteAll(Path("c.xml"), "<?xml version=\"1.0\" ?>\r\n<Configuration>\r\n"
                            "  <count type=\"Integer\">1</count>\n"
                            "  <Unknown type=\"Integer\">9</Unknown>\n"
                            "  <COUNT type=\"Integer\">2</COUNT>\n"
                            "  <ratio type=\"Float\">abc</ratio>\n"
                            "  <Name type=\"String\">   </Name>\n"
                            "</Configuration>\n");
    EXPECT_TRUE(s.Load(Path("c.xml")));
    EXPECT_EQ(s.Count, 2);
    EXPECT_EQ(s.Ratio, 16777215.0);
    EXPECT_EQ(s.Name, "   ");
    EXPECT_TRUE(s.Flag);  // no element: keeps its value
}

TEST_F(SrzClassTest, ConfigurationIsFoundAnywhere) {
    TSample s;
    WriteAll(Path("n.xml"), "<Root><Other/><Deep><Configuration><Count type=\"Integer\">7</Count></Configuration>"
                            "</Deep><Configuration><Count type=\"Integer\">8</Count></Configuration></Root>");
    EXPECT_TRUE(s.Load(Path("n.xml")));
    EXPECT_EQ(s.Count, 7);
}

TEST_F(SrzClassTest, TrueAsIntegerEndsTheLoad) {
    TSample s;
    WriteAll(Path("t.xml"), "<Configuration><Count type=\"Integer\">3</Count><Flag type=\"Integer\">True</Flag>"
                            "<Small type=\"Integer\">4</Small></Configuration>");
    EXPECT_FALSE(s.Load(Path("t.xml")));
    EXPECT_EQ(s.Count, 3);
    EXPECT_TRUE(s.Flag);
    EXPECT_EQ(s.Small, 16384);
}

// A tag naming another kind than the property's is skipped (the property keeps
// its value); an "Integer" text that is no integer still ends the load.
TEST_F(SrzClassTest, TagsThatDisagreeWithThePropertyLeaveItAlone) {
    TSample s;
    WriteAll(Path("m.xml"), "<Configuration><Name type=\"Integer\">12</Name><Count type=\"String\">x</Count>"
                            "<Ratio type=\"Integer\">2</Ratio><Count type=\"Float\">2.5</Count>"
                            "<Flag type=\"Other\">0</Flag><Small type=\"Integer\">5</Small></Configuration>");
    EXPECT_TRUE(s.Load(Path("m.xml")));
    EXPECT_EQ(s.Name, "MS Sans Serif");
    EXPECT_EQ(s.Count, 11025);
    EXPECT_EQ(s.Ratio, 0.5);
    EXPECT_TRUE(s.Flag);
    EXPECT_EQ(s.Small, 5);

    WriteAll(Path("m.xml"), "<Configuration><Name type=\"Integer\">abc</Name><Small type=\"Integer\">6</Small>"
                            "</Configuration>");
    EXPECT_FALSE(s.Load(Path("m.xml")));
    EXPECT_EQ(s.Name, "MS Sans Serif");
    EXPECT_EQ(s.Small, 5);
}

TEST_F(SrzClassTest, OrdinalsOutsideThePropertyRangeAreClamped) {
    TSample s;
    WriteAll(Path("o.xml"), "<Configuration><Small type=\"Integer\">70000</Small><Byte type=\"Integer\">-3</Byte>"
                            "<Flag type=\"Integer\">2</Flag><Style type=\"Integer\">-1</Style></Configuration>");
    s.Flag = false;
    EXPECT_TRUE(s.Load(Path("o.xml")));
    EXPECT_EQ(s.Small, 32767);
    EXPECT_EQ(s.Byte, 0);
    EXPECT_TRUE(s.Flag);
    EXPECT_EQ(s.Style.Mask(), 0xFFFFFFFFu);
}

TEST_F(SrzClassTest, NonUtf8BytesLoadAsReplacementCharacters) {
    TSample s;
    WriteAll(Path("b.xml"), "<Configuration><Name type=\"String\">a\xFF\xC0z</Name></Configuration>");
    EXPECT_TRUE(s.Load(Path("b.xml")));
    EXPECT_EQ(s.Name.front(), 'a');
    EXPECT_EQ(s.Name.back(), 'z');
}

TEST_F(SrzClassTest, EmptyArgumentReloadsTheStoredFile) {
    TSample a;
    a.FileName = Path("s.xml");
    a.Count = 77;
    ASSERT_TRUE(a.Save());
    a.Count = 1;
    EXPECT_TRUE(a.Load(""));
    EXPECT_EQ(a.Count, 77);
}

TEST_F(SrzClassTest, HugeAndDeeplyNestedFilesLoadSafely) {
    TSample s;
    std::string deep = "<Configuration><Count type=\"Integer\">5</Count><Name type=\"String\">";
    for (int i = 0; i < 200000; ++i) deep += "<a>";
    deep += "x";
    for (int i = 0; i < 200000; ++i) deep += "</a>";
    deep += "</Name></Configuration>";
    WriteAll(Path("d.xml"), deep);
    EXPECT_TRUE(s.Load(Path("d.xml")));
    EXPECT_EQ(s.Count, 5);
    EXPECT_EQ(s.Name, "x");

    std::string junk;
    for (int i = 0; i < 500000; ++i) junk += "<b>";  // never closed
    WriteAll(Path("j.xml"), junk);
    EXPECT_FALSE(s.Load(Path("j.xml")));

    std::string big = "<Configuration>";
    while (big.size() < 10u * 1024 * 1024) big += "<Unknown type=\"Integer\">123456</Unknown>";
    big += "<Count type=\"Integer\">6</Count></Configuration>";
    WriteAll(Path("h.xml"), big);
    EXPECT_TRUE(s.Load(Path("h.xml")));
    EXPECT_EQ(s.Count, 6);
}

TEST_F(SrzClassTest, ADamagedFileKeepsWhatWasReadBeforeTheFault) {
    TSample s;
    const std::string good = "<Configuration><Count type=\"Integer\">5</Count><Flag type=\"Integer\">0</Flag>";
    // Cut inside an element, after a closed one, and inside a tag.
    for (const std::string& tail : {std::string("<Small type=\"Integer\">12"), std::string(""), std::string("<Sm")}) {
        SCOPED_TRACE(tail);
        TSample t;
        WriteAll(Path("cut.xml"), good + tail);
        EXPECT_FALSE(t.Load(Path("cut.xml")));
        EXPECT_EQ(t.Count, 5);
        EXPECT_EQ(t.Small, 16384) << "the element the fault cut short is not applied";
    }

    // Millions of elements are a fault where the limit falls, not gigabytes of memory.
    std::string flood = good;
    flood.reserve(good.size() + 3 * (TXmlPropertyReader::MaxElements + 10));
    for (std::size_t i = 0; i < TXmlPropertyReader::MaxElements + 10; ++i) flood += "<a>";
    WriteAll(Path("flood.xml"), flood);
    EXPECT_FALSE(s.Load(Path("flood.xml")));
    EXPECT_EQ(s.Count, 5);
    EXPECT_FALSE(s.Flag);

    // Too large to read at all: nothing changes.
    TSample u;
    WriteAll(Path("huge.xml"), good + std::string(TSrzClass::MaxFileSize, ' ') + "</Configuration>");
    EXPECT_FALSE(u.Load(Path("huge.xml")));
    EXPECT_EQ(u.Count, 11025);
}

TEST_F(SrzClassTest, SaveIntoAMissingFolderFailsAndCreatesNothing) {
    TSample s;
    s.FileName = JoinPath(Path("missing"), "a.xml");
    EXPECT_FALSE(s.Save());
    EXPECT_FALSE(std::filesystem::exists(NativePath(Path("missing"))));
    s.FileName.clear();
    EXPECT_FALSE(s.Save());
}

TEST_F(SrzClassTest, FailedSaveLeavesTheOldFileByteForByte) {
    TSample s;
    s.FileName = Path("keep.xml");
    WriteAll(s.FileName, "old contents");

    // Write-protected target.
    std::filesystem::permissions(NativePath(s.FileName), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(s.Save());
    EXPECT_EQ(ReadAll(s.FileName), "old contents");
    std::filesystem::permissions(NativePath(s.FileName), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);

    // The write itself fails half-way (file-size limit of the process).
    s.Name.assign(100000, 'x');
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(s.Save());
    }
    EXPECT_EQ(ReadAll(s.FileName), "old contents");
    EXPECT_EQ(FilesIn(Folder()), 1u);  // no temporary file left behind

    EXPECT_TRUE(s.Save());
    TSample t;
    EXPECT_TRUE(t.Load(s.FileName));
    EXPECT_EQ(t.Name.size(), 100000u);
}

TEST(PublishedTest, DeclaringANameTwiceIsRefused) {
    struct TTwice : TSrzClass {
        TTwice() {
            Property("A", a, 1);
            Property("a", b, 2);
        }
        int a, b;
    };
    EXPECT_THROW(TTwice{}, std::logic_error);
}

TEST(PublishedTest, AccessorPropertiesActThroughTheirMethods) {
    struct TControlled : TSrzClass {
        TControlled() {
            Property("_Level", &TControlled::GetLevel, &TControlled::SetLevel);
            Property("_Text", [this] { return text; }, [this](const std::string& v) { text = v + "!"; });
        }
        int GetLevel() const { return level * 10; }
        void SetLevel(int v) { level = v / 10; }
        int level = 3;
        std::string text;
    };
    TControlled c;
    TPropInfo* level = c.FindProperty("_level");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->Kind(), TTypeKind::tkInteger);
    EXPECT_EQ(PropertyText(*level), "30");
    EXPECT_EQ(AssignProperty(*level, "Integer", "70"), TAssignResult::Assigned);
    EXPECT_EQ(c.level, 7);
    EXPECT_EQ(AssignProperty(*c.FindProperty("_TEXT"), "String", "hi"), TAssignResult::Assigned);
    EXPECT_EQ(c.text, "hi!");
}

}  // namespace
}  // namespace quorvel::testing
