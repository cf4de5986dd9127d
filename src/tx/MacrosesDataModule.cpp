#include "tx/MacrosesDataModule.h"

#include <pugixml.hpp>

#include "base/CodePage.h"
#include "base/Files.h"
#include "base/Text.h"
#include "plugin/FrequencyText.h"

namespace quorvel {
namespace {

bool ValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t more = 0;
        if (c < 0x80) more = 0;
        else if (c >= 0xC2 && c <= 0xDF) more = 1;
        else if (c >= 0xE0 && c <= 0xEF) more = 2;
        else if (c >= 0xF0 && c <= 0xF4) more = 3;
        else return false;
        if (more > 0 && i + more >= s.size()) return false;
        for (std::size_t k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += more + 1;
    }
    return true;
}

// Whether the packet's text is UTF-8 (else Windows-1251).
bool IsUtf8Packet(const pugi::xml_document& doc, std::string_view bytes) {
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_declaration) continue;
        const std::string declared = UpperAscii(n.attribute("encoding").value());
        if (declared == "UTF-8" || declared == "UTF8") return true;
        if (!declared.empty()) return false;  // windows-1251 and the like
        break;
    }
    return ValidUtf8(bytes);
}

}  // namespace

std::vector<TMacroRecord> ReadMacroPacket(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    pugi::xml_document doc;
    // Line breaks and tabs of the values must come through as written.
    constexpr unsigned options = pugi::parse_minimal | pugi::parse_escapes | pugi::parse_declaration;
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.data(), bytes.size(), options, pugi::encoding_utf8);
    if (!parsed) throw EMacroPacket(std::string("not an XML data packet: ") + parsed.description());
    const pugi::xml_node packet = doc.child("DATAPACKET");
    if (!packet) throw EMacroPacket("no DATAPACKET");
    const pugi::xml_node fields = packet.child("METADATA").child("FIELDS");
    if (!fields) throw EMacroPacket("no METADATA/FIELDS");
    const bool utf8 = IsUtf8Packet(doc, bytes);

    // The names of the first four fields, as written in the file.
    std::vector<std::string> names;
    for (pugi::xml_node f = fields.child("FIELD"); f && names.size() < 4; f = f.next_sibling("FIELD"))
        names.emplace_back(f.attribute("attrname").value());
    names.resize(4);

    const auto text = [utf8](const char* value) { return utf8 ? Utf8ToCp1251(value) : std::string(value); };
    std::vector<TMacroRecord> records;
    for (pugi::xml_node row = packet.child("ROWDATA").child("ROW"); row; row = row.next_sibling("ROW")) {
        const auto field = [&](std::size_t i) {
            return names[i].empty() ? std::string() : text(row.attribute(names[i].c_str()).value());
        };
        records.push_back({field(0), field(1), field(2), field(3)});
    }
    return records;
}

void TClientDataSet::SetRecNo(int recNo) {
    if (recNo >= 1 && recNo <= RecordCount()) recNo_ = recNo;
}

void TClientDataSet::LoadFromFile(const std::string& path) {
    const std::optional<std::string> bytes = ReadFileBytes(path, kMaxMacroFileBytes);
    if (!bytes) throw EMacroPacket("cannot read " + path);
    LoadFromRecords(ReadMacroPacket(*bytes));
}

void TClientDataSet::LoadFromRecords(std::vector<TMacroRecord> records) {
    records_ = std::move(records);
    active_ = true;
    recNo_ = records_.empty() ? 0 : 1;
}

void TClientDataSet::Close() {
    records_.clear();
    active_ = false;
    recNo_ = 0;
}

std::string MacroCaption(const TMacroRecord& record) {
    if (record.ShortCut.empty()) return record.Description;
    return record.Description + " (" + record.ShortCut + ")";
}

std::string MacroHint(const TMacroRecord& record) { return ShortenedText(record.Text, 50); }

int MacroPageIndex(std::string_view group) {
    static const std::string pages[] = {"CQ", Ru("QSO (Ru)"), Ru("Прочее (Ru)"), Ru("QSO (En)"), Ru("Прочее (En)")};
    for (int i = 0; i < 5; ++i)
        if (pages[i] == group) return i;
    return -1;
}

}  // namespace quorvel
