// The reference host's log: ADIF records as other logging programs read them,
// and a log file that is never damaged by a save.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Adif.h"
#include "HostFiles.h"
#include "LogBook.h"
#include "MacroTable.h"
#include "PavoHostRunSupport.h"

#include <pugixml.hpp>
#include <tuple>

namespace pavohost {
namespace {

namespace fs = std::filesystem;

using testing::ReadAll;

struct TempFolder {
    fs::path path = fs::temp_directory_path() / ("pavo-host-adif-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    TempFolder() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
};

TEST(Adif, ModeNamesOfThePlugInMapToAdifEnumerations) {
    struct Case {
        const char* name;
        const char* mode;
        const char* submode;
    };
    for (const Case c : {Case{"BPSK31", "PSK", "PSK31"}, Case{"BPSK63", "PSK", "PSK63"}, Case{"QPSK63", "PSK", "QPSK63"},
                         Case{"QPSK125", "PSK", "QPSK125"}, Case{"RTTY", "RTTY", ""}, Case{"MFSK16", "MFSK", "MFSK16"},
                         Case{"MFSK8", "MFSK", "MFSK8"}, Case{"bpsk31", "PSK", "PSK31"},
                         // 16 tones at 31.25 and 62.5 baud are MFSK32 and MFSK64 on the air.
                         Case{"MFSK31", "MFSK", "MFSK32"}, Case{"MFSK63", "MFSK", "MFSK64"},
                         Case{"CW", "CW", ""}, Case{"", "", ""}}) {
        const TAdifMode m = AdifModeFor(c.name);
        EXPECT_EQ(m.Mode, c.mode) << c.name;
        EXPECT_EQ(m.Submode, c.submode) << c.name;
    }
}

TEST(Adif, NamesWithoutAnAdifEnumerationFallBackToTheFamilyAndNotes) {
    struct Case {
        const char* name;
        const char* mode;
    };
    // No submode for these speeds; GMSK and the plain FSK modes have no ADIF
    // mode at all (FSK31 would read as a PSK submode).
    for (const Case c : {Case{"BPSK16", "PSK"}, Case{"QPSK20", "PSK"}, Case{"MFSK250", "MFSK"}, Case{"GMSK31", ""},
                         Case{"FSK31", ""}, Case{"FSK-W31", ""}, Case{"XYZ", ""}, Case{"BPSK", "PSK"}}) {
        const TAdifMode m = AdifModeFor(c.name);
        EXPECT_EQ(m.Mode, c.mode) << c.name;
        EXPECT_EQ(m.Submode, "") << c.name;
        EXPECT_EQ(m.Note, std::string("mode ") + c.name) << c.name;
    }
    EXPECT_EQ(AdifModeFor("BPSK31").Note, "");
}

TEST(Adif, BandsAndFrequenciesFollowTheAdifTables) {
    EXPECT_EQ(AdifBand(14070000), "20m");
    EXPECT_EQ(AdifBand(14000000), "20m");
    EXPECT_EQ(AdifBand(14350001), "");
    EXPECT_EQ(AdifBand(3580000), "80m");
    EXPECT_EQ(AdifBand(144800000), "2m");
    EXPECT_EQ(AdifBand(0), "");
    EXPECT_EQ(AdifBandMHz("20m"), "14");
    EXPECT_EQ(AdifBandMHz("160M"), "1.8");
    EXPECT_EQ(AdifBandMHz("nonsense"), "");
    EXPECT_EQ(AdifFrequency(14070000), "14.070");
    EXPECT_EQ(AdifFrequency(14071500), "14.0715");
    EXPECT_EQ(AdifFrequency(7035123), "7.035123");
    EXPECT_EQ(AdifFrequency(144300000), "144.300");
    EXPECT_EQ(AdifFrequency(0), "");
}

bool PureAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

TEST(Adif, TextsBeyondAsciiAreTransliteratedAndKeptInTheirIntlForms) {
    for (const auto& [utf8, ascii] : std::vector<std::pair<std::string, std::string>>{
             {"Иван", "Ivan"}, {"Москва", "Moskva"}, {"Щукин", "Shchukin"}, {"ЖУК", "ZHUK"}, {"Ж", "Zh"},
             {"ул. ЩОРСА", "ul. SHCHORSA"}, {"Юрьев-Польский", "Iurev-Polskii"}, {"Подъёмная", "Podieemnaia"},
             {"Київ, Ґалаґан", "Kiiv, Galagan"}, {"Müller Ærø", "Muller AEro"}, {"«Радуга» — №5", "\"Raduga\" - No5"},
             {"a\tb\r\nc", "a b  c"}, {"東京 🙂", "?? ?"}, {"plain", "plain"}, {"", ""}})
        EXPECT_EQ(AdifAscii(utf8), ascii) << utf8;

    TAdifRecord r;
    r.Set("call", "UA3ABC");
    r.SetText("NAME", "Иван");
    r.SetText("QTH", "Москва");
    r.SetText("GRIDSQUARE", "ко85");  // no international form: the ASCII one alone
    r.SetText("COMMENT", "");          // empty fields are left out
    EXPECT_EQ(r.Get("NAME"), "Ivan");
    EXPECT_EQ(r.Get("NAME_INTL"), "Иван");
    EXPECT_EQ(r.Text("name"), "Иван");
    EXPECT_EQ(r.Text("GRIDSQUARE"), "ko85");
    EXPECT_EQ(r.Get("GRIDSQUARE_INTL"), "");
    EXPECT_TRUE(HasIntlForm("qth") && HasIntlForm("MY_SIG_INFO") && !HasIntlForm("CALL") && !HasIntlForm("NAME_INTL"));

    // ADI: ASCII only, no _INTL field, lengths in bytes.
    const std::string adi = FormatAdifRecord(r);
    EXPECT_EQ(adi, "<CALL:6>UA3ABC <NAME:4>Ivan <QTH:6>Moskva <GRIDSQUARE:4>ko85 <EOR>\n");
    // A value set without its ASCII form still goes out as ASCII, counted after.
    TAdifRecord raw;
    raw.Set("QTH", "Тверь");
    EXPECT_EQ(FormatAdifRecord(raw), "<QTH:4>Tver <EOR>\n");
    EXPECT_EQ(FormatIntlFields(r), "NAME_INTL=\"Иван\" QTH_INTL=\"Москва\"");

    // An ASCII text later takes the international form away.
    r.SetText("NAME", "Ivan");
    EXPECT_EQ(r.Get("NAME_INTL"), "");
    EXPECT_EQ(r.Text("NAME"), "Ivan");
}

TEST(Adif, AdxIsUtf8XmlWithApplicationFieldsAndReadsBack) {
    TAdifRecord r;
    r.Set("CALL", "UA3ABC");
    r.SetText("NAME", "Иван & <Co>");
    r.Set("APP_PAVO-HOST_RDA", "MO-12");
    r.Set("STATE", "Мск");            // not international in ADIF: ASCII in ADX too
    r.Set("MY FIELD", "x");           // no element may be named so
    const std::string adx = FormatAdx(AdifHeader("1.2.0"), {r});
    EXPECT_EQ(adx.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << adx;

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(adx.c_str())) << adx;
    EXPECT_STREQ(doc.select_node("/ADX/HEADER/ADIF_VER").node().text().get(), "3.1.4");
    EXPECT_STREQ(doc.select_node("/ADX/HEADER/PROGRAMID").node().text().get(), "pavo-host");
    const pugi::xml_node rec = doc.select_node("/ADX/RECORDS/RECORD").node();
    EXPECT_STREQ(rec.child("NAME").text().get(), "Ivan & <Co>");
    EXPECT_STREQ(rec.child("NAME_INTL").text().get(), "Иван & <Co>");
    EXPECT_STREQ(rec.child("STATE").text().get(), "Msk");
    const pugi::xml_node app = rec.child("APP");
    EXPECT_STREQ(app.attribute("PROGRAMID").value(), "PAVO-HOST");
    EXPECT_STREQ(app.attribute("FIELDNAME").value(), "RDA");
    EXPECT_STREQ(app.attribute("TYPE").value(), "S");
    EXPECT_STREQ(app.text().get(), "MO-12");
    EXPECT_STREQ(rec.child("USERDEF").attribute("FIELDNAME").value(), "MY FIELD");

    const auto back = ParseAdx(adx);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->HasHeader);
    ASSERT_EQ(back->Records.size(), 1u);
    const TAdifRecord& b = back->Records[0];
    EXPECT_EQ(b.Text("NAME"), "Иван & <Co>");
    EXPECT_EQ(b.Get("NAME"), "Ivan & <Co>");
    EXPECT_EQ(b.Get("APP_PAVO-HOST_RDA"), "MO-12");
    EXPECT_EQ(b.Get("MY FIELD"), "x");

    // Another program's field names in small letters; what is not ADX is nothing.
    const auto other = ParseAdx("<ADX><RECORDS><RECORD><call>K1ZZ</call>"
                                "</RECORD><RECORD/></RECORDS></ADX>");
    ASSERT_TRUE(other);
    ASSERT_EQ(other->Records.size(), 1u);
    EXPECT_EQ(other->Records[0].Get("CALL"), "K1ZZ");
    EXPECT_FALSE(ParseAdx("<ADX><RECORDS><RECORD>"));
    EXPECT_FALSE(ParseAdx("<LOG/>"));
    EXPECT_FALSE(ParseAdx("<CALL:4>K1ZZ<EOR>"));
}

TEST(Adif, ReadingToleratesHeadersCaseAndDamage) {
    const std::string text =
        "exported by another logger <adif_ver:5>3.1.4 <EOH>\n"
        "<call:5>DL1AB<band:3:S>20m <mode:3>PSK<submode:5>PSK31<eor>\n"
        "<CALL:4>K1ZZ<NOTES:5>a<b>c<EOR>"            // a '<' inside data is taken by length
        "<bogus><CALL:x>QQ<:3>abc<CALL:5>G4XYZ"       // damaged tags are skipped; last record unterminated
        "<NAME:500>Bob";                               // a length past the end takes what is there
    const TAdifFile f = ParseAdi(text);
    EXPECT_TRUE(f.HasHeader);
    ASSERT_EQ(f.Header.size(), 1u);
    EXPECT_EQ(f.Header[0].Name, "ADIF_VER");
    ASSERT_EQ(f.Records.size(), 3u);
    EXPECT_EQ(f.Records[0].Get("CALL"), "DL1AB");
    EXPECT_EQ(f.Records[0].Get("BAND"), "20m");
    EXPECT_EQ(f.Records[1].Get("NOTES"), "a<b>c");
    EXPECT_EQ(f.Records[2].Get("CALL"), "G4XYZ");
    EXPECT_EQ(f.Records[2].Get("NAME"), "Bob");
    // A file without header text begins with records.
    EXPECT_EQ(ParseAdi("<CALL:3>K1A<EOR>").Records.size(), 1u);
    EXPECT_TRUE(ParseAdi("").Records.empty());
    EXPECT_TRUE(ParseAdi("<<<<>>>><EOR><EOH>").Records.empty());
}

TEST(LogBook, AppendsRecordsBehindAHeaderAndKeepsWhatOthersAdded) {
    TempFolder dir;
    const fs::path file = dir.path / "log.adi";
    TLogBook book(file, "1.2.0");
    std::string error;
    ASSERT_TRUE(book.Open(error)) << error;
    EXPECT_TRUE(book.IsOpen());
    EXPECT_TRUE(book.Records().empty());
    EXPECT_EQ(ReadAll(file),
              "Log of the pavo-host reference host\n<ADIF_VER:5>3.1.4\n<PROGRAMID:9>pavo-host\n"
              "<PROGRAMVERSION:5>1.2.0\n<EOH>\n")
        << "a new log begins with its header";

    TAdifRecord r;
    r.Set("CALL", "DL1ABC");
    r.Set("BAND", "20m");
    ASSERT_TRUE(book.Append(r, error)) << error;
    const std::string first = ReadAll(file);
    EXPECT_NE(first.find("<EOH>\n<CALL:6>DL1ABC <BAND:3>20m <EOR>\n"), std::string::npos) << first;

    // Another program appends meanwhile, without a final line break.
    {
        std::ofstream out(file, std::ios::binary | std::ios::app);
        out << "<CALL:4>K1ZZ<EOR>";
    }
    r.Set("CALL", "G4XYZ");
    ASSERT_TRUE(book.Append(r, error)) << error;
    const TAdifFile all = ParseAdi(ReadAll(file));
    ASSERT_EQ(all.Records.size(), 3u);
    EXPECT_EQ(all.Records[1].Get("CALL"), "K1ZZ");
    EXPECT_EQ(all.Records[2].Get("CALL"), "G4XYZ");
    EXPECT_EQ(ReadAll(file).rfind("<PROGRAMID"), first.find("<PROGRAMID")) << "one header";

    TLogBook again(file, "1.2.0");
    ASSERT_TRUE(again.Open(error));
    EXPECT_EQ(again.Records().size(), 3u);
    ASSERT_NE(again.LastWith("dl1abc"), nullptr);
    EXPECT_EQ(again.LastWith("DL1ABC")->Get("BAND"), "20m");
    EXPECT_EQ(again.LastWith("N0NE"), nullptr);
}

TEST(LogBook, AFailedSaveLeavesTheLogAsItWas) {
    TempFolder dir;
    const fs::path file = dir.path / "log.adi";
    TLogBook book(file, "1.2.0");
    std::string error;
    ASSERT_TRUE(book.Open(error));
    TAdifRecord r;
    r.Set("CALL", "DL1ABC");
    ASSERT_TRUE(book.Append(r, error));
    const std::string before = ReadAll(file);

    // The temporary file cannot be made: a folder is in its place.
    fs::create_directories(file.string() + ".tmp");
    r.Set("CALL", "G4XYZ");
    EXPECT_FALSE(book.Append(r, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_EQ(book.Records().size(), 1u);
    fs::remove_all(file.string() + ".tmp");

    // A log that exists but cannot be read is never replaced.
    fs::remove(file);
    fs::create_directories(file);
    EXPECT_FALSE(book.Append(r, error));
    EXPECT_TRUE(fs::is_directory(file));
    const fs::path folderLog = dir.path / "folder.adi";
    fs::create_directories(folderLog);
    TLogBook broken(folderLog, "1.2.0");
    EXPECT_FALSE(broken.Open(error));
    EXPECT_FALSE(broken.IsOpen());
    EXPECT_FALSE(broken.Append(r, error));
    EXPECT_TRUE(fs::is_directory(folderLog));
}

TEST(LogBook, ACyrillicContactIsLoggedInAsciiAndInTheAdxAndReadBack) {
    TempFolder dir;
    const fs::path file = dir.path / "log.adi";
    TLogBook book(file, "1.2.0");
    std::string error;
    ASSERT_TRUE(book.Open(error)) << error;
    EXPECT_EQ(book.XmlFile(), dir.path / "log.adx");
    ASSERT_TRUE(ParseAdx(ReadAll(book.XmlFile()))) << "the ADX is made with the log";
    auto contact = [](const char* call, const char* time, const std::string& name) {
        TAdifRecord r;
        r.Set("CALL", call);
        r.Set("QSO_DATE", "20240504");
        r.Set("TIME_ON", time);
        r.SetText("NAME", name);
        return r;
    };
    TAdifRecord first = contact("UA3ABC", "143000", "Иван");
    first.SetText("QTH", "Москва");
    first.SetText("COMMENT", "привет из Москвы");
    ASSERT_TRUE(book.Append(first, error)) << error;

    const std::string adi = ReadAll(file);
    EXPECT_TRUE(PureAscii(adi)) << adi;
    EXPECT_NE(adi.find("<NAME:4>Ivan <QTH:6>Moskva <COMMENT:16>privet iz Moskvy <EOR>"), std::string::npos) << adi;
    EXPECT_EQ(adi.find("_INTL"), std::string::npos);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(book.XmlFile().c_str()));
    const pugi::xml_node rec = doc.select_node("/ADX/RECORDS/RECORD").node();
    EXPECT_STREQ(rec.child("NAME").text().get(), "Ivan");
    EXPECT_STREQ(rec.child("NAME_INTL").text().get(), "Иван");
    EXPECT_STREQ(rec.child("QTH_INTL").text().get(), "Москва");
    EXPECT_STREQ(rec.child("COMMENT_INTL").text().get(), "привет из Москвы");
    EXPECT_EQ(book.Records().back().Text("QTH"), "Москва");

    // Another program adds to the ADI; the next save keeps its contact and
    // the international texts of the first.
    {
        std::ofstream out(file, std::ios::binary | std::ios::app);
        out << "<CALL:4>K1ZZ<QSO_DATE:8>20240504<TIME_ON:6>150000<NAME:10>Борис<EOR>";
    }
    ASSERT_TRUE(book.Append(contact("R3ABC", "160000", "Пётр"), error)) << error;
    TLogBook again(file, "1.2.0");
    ASSERT_TRUE(again.Open(error));
    ASSERT_EQ(again.Records().size(), 3u);
    EXPECT_EQ(again.Records()[0].Text("NAME"), "Иван");
    EXPECT_EQ(again.Records()[0].Text("QTH"), "Москва");
    EXPECT_EQ(again.Records()[1].Get("CALL"), "K1ZZ");
    EXPECT_EQ(again.Records()[1].Text("NAME"), "Борис") << "as the other program wrote it";
    EXPECT_NE(ReadAll(file).find("<NAME:10>Борис<EOR>"), std::string::npos) << "its record is left as it was";
    EXPECT_EQ(again.Records()[2].Get("NAME"), "Petr");
    EXPECT_EQ(again.Records()[2].Text("NAME"), "Пётр");
    const auto xml = ParseAdx(ReadAll(again.XmlFile()));
    ASSERT_TRUE(xml);
    ASSERT_EQ(xml->Records.size(), 3u);
    EXPECT_EQ(xml->Records[1].Get("NAME"), "Boris") << "ASCII in ADX too";
    EXPECT_EQ(xml->Records[1].Get("NAME_INTL"), "Борис");

    // A damaged ADX is kept aside and rebuilt from the ADI.
    const std::string damaged = "<ADX><RECORDS><RECORD><NAME_INTL>Иван";
    {
        std::ofstream(again.XmlFile(), std::ios::binary) << damaged;
    }
    ASSERT_TRUE(again.Append(contact("DL1ABC", "170000", "Hans"), error)) << error;
    EXPECT_EQ(ReadAll(again.XmlFile().string() + ".damaged"), damaged);
    const auto rebuilt = ParseAdx(ReadAll(again.XmlFile()));
    ASSERT_TRUE(rebuilt);
    ASSERT_EQ(rebuilt->Records.size(), 4u);
    EXPECT_EQ(rebuilt->Records[0].Text("NAME"), "Ivan");
    EXPECT_EQ(rebuilt->Records[3].Get("CALL"), "DL1ABC");

    // A log kept before it had a twin gets one when it is opened.
    fs::remove(again.XmlFile());
    TLogBook older(file, "1.2.0");
    ASSERT_TRUE(older.Open(error)) << error;
    const auto made = ParseAdx(ReadAll(older.XmlFile()));
    ASSERT_TRUE(made);
    EXPECT_EQ(made->Records.size(), 4u);
}

TEST(HostFiles, WritableFolderCheckFailsWhereNothingCanBeWritten) {
    TempFolder dir;
    std::string error;
    EXPECT_TRUE(EnsureWritableFolder(dir.path / "a" / "b", error)) << error;
    EXPECT_TRUE(fs::is_directory(dir.path / "a" / "b"));
    EXPECT_TRUE(fs::is_empty(dir.path / "a" / "b")) << "the probe is removed";
    {
        std::ofstream(dir.path / "plain-file") << "x";
    }
    EXPECT_FALSE(EnsureWritableFolder(dir.path / "plain-file" / "sub", error));
    EXPECT_NE(error.find("plain-file"), std::string::npos);
}

}  // namespace
}  // namespace pavohost

namespace pavohost {
namespace {

TEST(HostMacroList, ImportsAListAndWritesTheDataPacketThePlugInReads) {
    const auto macros = ParseMacroList(
        "# page | caption | shortcut | text\r\n"
        "CQ | CQ | F1 | CQ de <MYCALL> pse k <RX>\r\n"
        "\n"
        "QSO (En) | 73 & \"bye\" |  | <CALL> tnx | 73\\n<SAVEQSO> c:\\\\path\\t\n"
        "Прочее (Ru) | Привет | Ctrl+F5 | Привет, <NAMEX>!\n");
    ASSERT_EQ(macros.size(), 3u);
    EXPECT_EQ(macros[0].Page, "CQ");
    EXPECT_EQ(macros[0].Shortcut, "F1");
    EXPECT_EQ(macros[1].Caption, "73 & \"bye\"");
    EXPECT_EQ(macros[1].Shortcut, "");
    EXPECT_EQ(macros[1].Text, "<CALL> tnx | 73\r\n<SAVEQSO> c:\\path\\t") << "bars after the third belong to the text";
    EXPECT_EQ(macros[2].Page, "Прочее (Ru)");

    const std::string packet = FormatMacroPacket(macros);
    EXPECT_EQ(packet.rfind("<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                           "<FIELD attrname=\"Описание\" fieldtype=\"string\" WIDTH=\"100\"/>"
                           "<FIELD attrname=\"Текст\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\" WIDTH=\"1\"/>",
                           0),
              0u);
    EXPECT_NE(packet.find("<ROW Описание=\"73 &amp; &quot;bye&quot;\" Текст=\"&lt;CALL&gt; tnx | 73&#013;&#010;"
                          "&lt;SAVEQSO&gt; c:&#092;path&#092;t\" Группа=\"QSO (En)\" Кл.=\"\"/>"),
              std::string::npos)
        << packet;
    // Any XML reader gives the texts back as written.
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(packet.c_str()));
    const auto rows = doc.select_nodes("/DATAPACKET/ROWDATA/ROW");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(std::string(rows[1].node().attribute("Текст").value()), macros[1].Text);
    EXPECT_EQ(std::string(rows[2].node().attribute("Кл.").value()), "Ctrl+F5");
}

TEST(HostMacroList, ListMistakesNameTheirLine) {
    for (const auto& [text, line, says] :
         {std::tuple{"CQ | CQ | F1 | ok\nCQ | only two", 2, "expected PAGE | CAPTION | SHORTCUT | TEXT"},
          std::tuple{" | CQ | | x", 1, "the page needs 1 to 20 characters"},
          std::tuple{"A page name that is too long | CQ | | x", 1, "the page needs 1 to 20"},
          std::tuple{"CQ |  | | x", 1, "the caption needs 1 to 100"},
          std::tuple{"CQ | CQ | Ctrl+Shift+F12 | x", 1, "the shortcut has more than 10"}}) {
        try {
            ParseMacroList(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const TMacroListError& e) {
            EXPECT_EQ(e.Line, line) << text;
            EXPECT_NE(std::string(e.what()).find(says), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace pavohost
