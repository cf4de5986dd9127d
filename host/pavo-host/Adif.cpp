#include "Adif.h"

#include <array>
#include <charconv>
#include <initializer_list>
#include <sstream>

#include <pugixml.hpp>

#include "HostText.h"
#include "base/CodePage.h"

namespace pavohost {
namespace {

struct TBand {
    const char* Name;
    std::int64_t Low, High;  // Hz, inclusive
    const char* LowMHz;
};

constexpr std::array<TBand, 32> kBands = {{
    {"2190m", 135700, 137800, "0.1357"},
    {"630m", 472000, 479000, "0.472"},
    {"560m", 501000, 504000, "0.501"},
    {"160m", 1800000, 2000000, "1.8"},
    {"80m", 3500000, 4000000, "3.5"},
    {"60m", 5060000, 5450000, "5.06"},
    {"40m", 7000000, 7300000, "7"},
    {"30m", 10100000, 10150000, "10.1"},
    {"20m", 14000000, 14350000, "14"},
    {"17m", 18068000, 18168000, "18.068"},
    {"15m", 21000000, 21450000, "21"},
    {"12m", 24890000, 24990000, "24.89"},
    {"10m", 28000000, 29700000, "28"},
    {"8m", 40000000, 45000000, "40"},
    {"6m", 50000000, 54000000, "50"},
    {"5m", 54000001, 69900000, "54"},
    {"4m", 70000000, 71000000, "70"},
    {"2m", 144000000, 148000000, "144"},
    {"1.25m", 222000000, 225000000, "222"},
    {"70cm", 420000000, 450000000, "420"},
    {"33cm", 902000000, 928000000, "902"},
    {"23cm", 1240000000, 1300000000, "1240"},
    {"13cm", 2300000000, 2450000000, "2300"},
    {"9cm", 3300000000, 3500000000, "3300"},
    {"6cm", 5650000000, 5925000000, "5650"},
    {"3cm", 10000000000, 10500000000, "10000"},
    {"1.25cm", 24000000000, 24250000000, "24000"},
    {"6mm", 47000000000, 47200000000, "47000"},
    {"4mm", 75500000000, 81000000000, "75500"},
    {"2.5mm", 119980000000, 123000000000, "119980"},
    {"2mm", 134000000000, 149000000000, "134000"},
    {"1mm", 241000000000, 250000000000, "241000"},
}};

bool IsDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// Family prefix followed by a whole speed, e.g. ("BPSK", "31") from "BPSK31".
bool SplitSpeed(std::string_view name, std::string_view prefix, std::string_view& speed) {
    if (name.substr(0, prefix.size()) != prefix) return false;
    speed = name.substr(prefix.size());
    return IsDigits(speed);
}

// The fields of ADIF 3.1 with an _INTL twin (International String or
// International Multiline String), allowed in ADX only.
constexpr std::array<std::string_view, 19> kIntlFields = {
    "ADDRESS", "COMMENT", "COUNTRY", "MY_ANTENNA", "MY_CITY", "MY_COUNTRY", "MY_NAME", "MY_POSTAL_CODE",
    "MY_RIG", "MY_SIG", "MY_SIG_INFO", "MY_STREET", "NAME", "NOTES", "QSLMSG", "QTH", "RIG", "SIG", "SIG_INFO"};

constexpr std::string_view kIntlSuffix = "_INTL";

// А to я (U+0410 to U+044F) in lower case.
constexpr std::array<std::string_view, 32> kRussian = {
    "a", "b", "v", "g", "d", "e", "zh", "z", "i", "i", "k", "l", "m", "n", "o", "p",
    "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "ie", "y", "", "e", "iu", "ia"};

// U+0400 to U+040F and U+0450 to U+045F, the other letters of Windows-1251.
constexpr std::array<std::string_view, 16> kOtherCyrillic = {
    "e", "e", "dj", "g", "ie", "dz", "i", "i", "j", "lj", "nj", "c", "k", "i", "u", "dz"};

// U+00C0 to U+00FF, Latin-1 letters without their marks.
constexpr std::array<std::string_view, 64> kLatin1 = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "x", "O", "U", "U", "U", "U", "Y", "TH", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "/", "o", "u", "u", "u", "u", "y", "th", "y"};

bool IsUpperLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= 0x0400 && c <= 0x042F) || c == 0x0490 || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

bool IsLetter(char16_t c) {
    return IsUpperLetter(c) || (c >= u'a' && c <= u'z') || (c >= 0x0430 && c <= 0x045F) || c == 0x0491 ||
           (c >= 0xDF && c <= 0xFF && c != 0xF7);
}

// The Latin spelling of one character, in lower case for a letter; upper
// tells whether it was a capital.
std::string_view Latin(char16_t c, bool& upper) {
    upper = false;
    if (c >= 0x0410 && c <= 0x042F) {
        upper = true;
        return kRussian[c - 0x0410];
    }
    if (c >= 0x0430 && c <= 0x044F) return kRussian[c - 0x0430];
    if (c >= 0x0400 && c <= 0x040F) {
        upper = true;
        return kOtherCyrillic[c - 0x0400];
    }
    if (c >= 0x0450 && c <= 0x045F) return kOtherCyrillic[c - 0x0450];
    if (c == 0x0490 || c == 0x0491) {
        upper = c == 0x0490;
        return "g";
    }
    if (c >= 0xC0 && c <= 0xFF) return kLatin1[c - 0xC0];  // already cased
    switch (c) {
        case 0x00AB: case 0x00BB: case 0x201C: case 0x201D: case 0x201E: return "\"";
        case 0x2018: case 0x2019: case 0x201A: return "'";
        case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2212: return "-";
        case 0x2026: return "...";
        case 0x2116: return "No";
        case 0x00A0: return " ";
        default: return "?";
    }
}

bool IsAsciiName(std::string_view name) {
    if (name.empty() || !((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

// Well-formed UTF-8 without control characters, as XML and ADIF's
// international strings allow.
std::string CleanUtf8(std::string_view text) {
    std::u16string wide = quorvel::Utf8ToUtf16(text);
    for (char16_t& c : wide)
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xFFFE || c == 0xFFFF) c = u' ';
    return quorvel::Utf16ToUtf8(wide);
}

}  // namespace

bool HasIntlForm(std::string_view name) {
    for (std::string_view f : kIntlFields)
        if (EqualsNoCase(f, name)) return true;
    return false;
}

bool IsIntlField(std::string_view name) {
    return name.size() > kIntlSuffix.size() &&
           EqualsNoCase(name.substr(name.size() - kIntlSuffix.size()), kIntlSuffix);
}

std::string AdifAscii(std::string_view utf8) {
    bool ascii = true;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) ascii = false;
    if (ascii) return std::string(utf8);
    const std::u16string wide = quorvel::Utf8ToUtf16(utf8);
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char16_t c = wide[i];
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            out += ' ';
            continue;
        }
        if (c < 0x7F) {
            out += static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
        bool upper = false;
        const std::string_view latin = Latin(c, upper);
        if (!upper || latin.empty()) {
            out += latin;
            continue;
        }
        // A capital spelt with several letters is all capitals inside a word
        // in capitals (ЩУКИН -> SHCHUKIN), else only its first letter (Щукин -> Shchukin).
        const bool nextUpper = i + 1 < wide.size() && IsUpperLetter(wide[i + 1]);
        const bool nextLetter = i + 1 < wide.size() && IsLetter(wide[i + 1]);
        const bool previousUpper = i > 0 && IsUpperLetter(wide[i - 1]);
        const bool allCaps = nextUpper || (!nextLetter && previousUpper);
        for (std::size_t k = 0; k < latin.size(); ++k) {
            const char l = latin[k];
            out += (k == 0 || allCaps) && l >= 'a' && l <= 'z' ? static_cast<char>(l - 'a' + 'A') : l;
        }
    }
    return out;
}

std::string TAdifRecord::Get(std::string_view name) const {
    for (const auto& field : Fields)
        if (EqualsNoCase(field.Name, name)) return field.Value;
    return {};
}

void TAdifRecord::Set(std::string_view name, std::string value) {
    for (auto it = Fields.begin(); it != Fields.end(); ++it)
        if (EqualsNoCase(it->Name, name)) {
            if (value.empty())
                Fields.erase(it);
            else
                it->Value = std::move(value);
            return;
        }
    if (!value.empty()) Fields.push_back({UpperAscii(name), std::move(value)});
}

void TAdifRecord::SetText(std::string_view name, const std::string& utf8) {
    std::string ascii = AdifAscii(utf8);
    const bool differs = ascii != utf8;
    Set(name, std::move(ascii));
    Set(std::string(name) + std::string(kIntlSuffix), differs && HasIntlForm(name) ? CleanUtf8(utf8) : std::string());
}

std::string TAdifRecord::Text(std::string_view name) const {
    std::string intl = Get(std::string(name) + std::string(kIntlSuffix));
    return intl.empty() ? Get(name) : intl;
}

TAdifFile ParseAdi(std::string_view text) {
    TAdifFile file;
    // A file that does not open with a tag has a header (free text, then fields, then <EOH>).
    const auto firstNonSpace = text.find_first_not_of(" \t\r\n");
    const bool expectHeader = firstNonSpace != std::string_view::npos && text[firstNonSpace] != '<';
    bool inHeader = expectHeader;
    TAdifRecord current;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto open = text.find('<', i);
        if (open == std::string_view::npos) break;
        const auto close = text.find('>', open + 1);
        if (close == std::string_view::npos) break;
        const std::string_view tag = text.substr(open + 1, close - open - 1);
        i = close + 1;
        const auto parts = Split(tag, ':');
        const std::string name = UpperAscii(Trim(parts[0]));
        if (name.empty()) continue;
        if (name == "EOH") {
            if (inHeader) {
                file.HasHeader = true;
                file.Header = std::move(current.Fields);
                current = {};
                inHeader = false;
            }
            continue;
        }
        if (name == "EOR") {
            if (!inHeader && !current.Fields.empty()) file.Records.push_back(std::move(current));
            current = {};
            continue;
        }
        if (parts.size() < 2) continue;  // a field without a length carries no data
        std::size_t length = 0;
        const std::string lengthText = Trim(parts[1]);
        const auto [end, ec] = std::from_chars(lengthText.data(), lengthText.data() + lengthText.size(), length);
        if (ec != std::errc() || end != lengthText.data() + lengthText.size()) continue;
        const std::size_t available = text.size() - i;
        const std::size_t take = length < available ? length : available;
        current.Fields.push_back({name, std::string(text.substr(i, take))});
        i += take;
    }
    if (!inHeader && !current.Fields.empty()) file.Records.push_back(std::move(current));
    return file;
}

std::string FormatAdifField(std::string_view name, std::string_view value) {
    const std::string ascii = AdifAscii(value);
    return "<" + UpperAscii(name) + ":" + std::to_string(ascii.size()) + ">" + ascii;
}

std::string FormatAdifRecord(const TAdifRecord& record) {
    std::string out;
    for (const auto& field : record.Fields) {
        if (field.Value.empty() || IsIntlField(field.Name)) continue;
        out += FormatAdifField(field.Name, field.Value);
        out += ' ';
    }
    out += "<EOR>\n";
    return out;
}

std::string FormatIntlFields(const TAdifRecord& record) {
    std::string out;
    for (const auto& field : record.Fields) {
        if (field.Value.empty() || !IsIntlField(field.Name)) continue;
        if (!out.empty()) out += ' ';
        out += field.Name + "=\"" + field.Value + "\"";
    }
    return out;
}

std::vector<TAdifField> AdifHeader(std::string_view programVersion) {
    return {{"ADIF_VER", "3.1.4"}, {"PROGRAMID", "pavo-host"}, {"PROGRAMVERSION", std::string(programVersion)}};
}

std::string FormatAdifHeader(std::string_view programVersion) {
    std::string out = "Log of the pavo-host reference host\n";
    for (const auto& field : AdifHeader(programVersion)) out += FormatAdifField(field.Name, field.Value) + "\n";
    out += "<EOH>\n";
    return out;
}

namespace {

void AppendAdxField(pugi::xml_node parent, const TAdifField& field) {
    if (field.Value.empty()) return;
    const std::string name = UpperAscii(field.Name);
    const std::string value = IsIntlField(name) ? CleanUtf8(field.Value) : AdifAscii(field.Value);
    if (name.rfind("APP_", 0) == 0) {
        const auto split = name.find('_', 4);
        if (split != std::string::npos && split > 4 && split + 1 < name.size()) {
            pugi::xml_node app = parent.append_child("APP");
            app.append_attribute("PROGRAMID").set_value(name.substr(4, split - 4).c_str());
            app.append_attribute("FIELDNAME").set_value(name.substr(split + 1).c_str());
            app.append_attribute("TYPE").set_value("S");
            app.text().set(value.c_str());
            return;
        }
    }
    if (!IsAsciiName(name)) {
        // Not a name an element can have: kept as a user-defined field.
        pugi::xml_node def = parent.append_child("USERDEF");
        def.append_attribute("FIELDNAME").set_value(AdifAscii(name).c_str());
        def.text().set(value.c_str());
        return;
    }
    parent.append_child(name.c_str()).text().set(value.c_str());
}

TAdifField ReadAdxField(pugi::xml_node element) {
    const std::string tag = UpperAscii(element.name());
    std::string name = tag;
    if (tag == "APP")
        name = "APP_" + UpperAscii(element.attribute("PROGRAMID").value()) + "_" +
               UpperAscii(element.attribute("FIELDNAME").value());
    else if (tag == "USERDEF")
        name = UpperAscii(element.attribute("FIELDNAME").value());
    return {name, element.text().get()};
}

}  // namespace

std::string FormatAdx(const std::vector<TAdifField>& header, const std::vector<TAdifRecord>& records) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    pugi::xml_node adx = doc.append_child("ADX");
    pugi::xml_node head = adx.append_child("HEADER");
    for (const auto& field : header) AppendAdxField(head, field);
    pugi::xml_node list = adx.append_child("RECORDS");
    for (const auto& record : records) {
        pugi::xml_node element = list.append_child("RECORD");
        for (const auto& field : record.Fields) AppendAdxField(element, field);
        // Other programs write UTF-8 into ADI files: such a text keeps its
        // letters in the _INTL twin.
        for (const auto& field : record.Fields) {
            const std::string intl = UpperAscii(field.Name) + std::string(kIntlSuffix);
            if (HasIntlForm(field.Name) && record.Get(intl).empty() && AdifAscii(field.Value) != field.Value)
                AppendAdxField(element, {intl, field.Value});
        }
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

std::optional<TAdifFile> ParseAdx(std::string_view text) {
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8)) return std::nullopt;
    const pugi::xml_node adx = doc.child("ADX");
    if (!adx) return std::nullopt;
    TAdifFile file;
    if (const pugi::xml_node head = adx.child("HEADER")) {
        file.HasHeader = true;
        for (pugi::xml_node e = head.first_child(); e; e = e.next_sibling())
            if (e.type() == pugi::node_element) file.Header.push_back(ReadAdxField(e));
    }
    for (pugi::xml_node list = adx.child("RECORDS"); list; list = list.next_sibling("RECORDS"))
        for (pugi::xml_node r = list.child("RECORD"); r; r = r.next_sibling("RECORD")) {
            TAdifRecord record;
            for (pugi::xml_node e = r.first_child(); e; e = e.next_sibling())
                if (e.type() == pugi::node_element) {
                    TAdifField field = ReadAdxField(e);
                    if (!field.Name.empty() && !field.Value.empty()) record.Fields.push_back(std::move(field));
                }
            if (!record.Fields.empty()) file.Records.push_back(std::move(record));
        }
    return file;
}

TAdifMode AdifModeFor(std::string_view modeName) {
    const std::string name = UpperAscii(Trim(modeName));
    if (name.empty()) return {};
    const std::string note = "mode " + std::string(Trim(modeName));
    std::string_view speed;
    auto in = [&speed](std::initializer_list<std::string_view> list) {
        for (std::string_view s : list)
            if (s == speed) return true;
        return false;
    };
    if (SplitSpeed(name, "BPSK", speed) || SplitSpeed(name, "PSK", speed)) {
        if (in({"31", "63", "125", "250", "500"})) return {"PSK", "PSK" + std::string(speed), ""};
        return {"PSK", "", note};
    }
    if (SplitSpeed(name, "QPSK", speed)) {
        if (in({"31", "63", "125", "250", "500"})) return {"PSK", name, ""};
        return {"PSK", "", note};
    }
    if (SplitSpeed(name, "MFSK", speed)) {
        // The engine's MFSK has 16 tones; on the air it is named by its tone spacing.
        if (in({"8", "16"})) return {"MFSK", name, ""};
        if (speed == "31") return {"MFSK", "MFSK32", ""};
        if (speed == "63") return {"MFSK", "MFSK64", ""};
        if (speed == "125") return {"MFSK", "MFSK128", ""};
        return {"MFSK", "", note};
    }
    if (name == "RTTY" || SplitSpeed(name, "RTTY", speed)) return {"RTTY", "", ""};
    if (name == "BPSK" || name == "QPSK") return {"PSK", "", note};
    for (std::string_view adif : {"AM", "CW", "FM", "SSB", "PSK", "MFSK", "OLIVIA", "CONTESTI", "HELL", "MT63", "THOR",
                                  "DOMINO", "FT8", "JT65", "JT9", "SSTV", "PKT", "PAC", "MSK144", "WSPR"})
        if (name == adif) return {name, "", ""};
    return {"", "", note};
}

std::string AdifBand(std::int64_t hz) {
    for (const auto& band : kBands)
        if (hz >= band.Low && hz <= band.High) return band.Name;
    return {};
}

std::string AdifBandMHz(std::string_view band) {
    for (const auto& b : kBands)
        if (EqualsNoCase(band, b.Name)) return b.LowMHz;
    return {};
}

std::string AdifFrequency(std::int64_t hz) {
    if (hz <= 0) return {};
    std::string fraction = std::to_string(hz % 1000000);
    fraction.insert(0, 6 - fraction.size(), '0');
    while (fraction.size() > 3 && fraction.back() == '0') fraction.pop_back();
    return std::to_string(hz / 1000000) + "." + fraction;
}

}  // namespace pavohost
