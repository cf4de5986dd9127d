#pragma once
// The macro table: the records of the host's macro file (a client data set
// XML data packet) in file order, four text fields each, and the buttons the
// macro pages are built from.
//
// The packet: DATAPACKET / METADATA / FIELDS / FIELD (attrname, fieldtype,
// WIDTH, SUBTYPE) and PARAMS, then ROWDATA / ROW, one ROW a record, its
// attributes named after the fields. Fields are found by position through the
// FIELD names, so a packet naming them otherwise still reads.
//
// The memo column "Текст" (fieldtype "bin.hex", SUBTYPE "Text") holds its
// value as the plain text in its attribute, with the attribute escapes
// (&#013; &#010; &#009; &#092; &lt; &gt; &amp; &quot; &apos;). Values are not
// read as hex: a macro such as "BEEF" would be ambiguous.
//
// Encoding: a packet that declares UTF-8, or declares nothing and is valid
// UTF-8, is read as UTF-8; one that declares windows-1251, or declares nothing
// and carries bytes that are not UTF-8 (field names included, as editors on
// Cyrillic systems write them), is read as Windows-1251.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>


namespace quorvel {

// One macro; cp1251 text.
struct TMacroRecord {
    std::string Description;  // "Описание"
    std::string Text;         // "Текст"
    std::string Group;        // "Группа"
    std::string ShortCut;     // "Кл."
};

class EMacroPacket : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The records of a packet, in file order. A row without an attribute has that
// field empty. Throws EMacroPacket when the bytes are not such a packet.
std::vector<TMacroRecord> ReadMacroPacket(std::string_view bytes);

// The largest macro file read; a larger one is refused unread.
inline constexpr std::uintmax_t kMaxMacroFileBytes = 64u << 20;

// ClientDataSet1: the loaded table and its current record.
class TClientDataSet {
public:
    bool Active() const { return active_; }
    bool LogChanges = true;
    int RecordCount() const { return static_cast<int>(records_.size()); }
    // 1-based; 0 when there is none.
    int RecNo() const { return recNo_; }
    void SetRecNo(int recNo);
    const TMacroRecord& Record() const { return records_.at(static_cast<std::size_t>(recNo_ - 1)); }
    const TMacroRecord& Record(int recNo) const { return records_.at(static_cast<std::size_t>(recNo - 1)); }
    // Replaces the table with the packet's records; throws (and keeps the
    // table as it was) when the file is missing, too large or not a packet.
    void LoadFromFile(const std::string& path);
    void LoadFromRecords(std::vector<TMacroRecord> records);
    void Close();

private:
    std::vector<TMacroRecord> records_;
    bool active_ = false;
    int recNo_ = 0;
};

class TMacrosesDataModule {
public:
    TClientDataSet ClientDataSet1;
};

// Caption of a macro's button: the description, with " (" shortcut ")" when
// it has one.
std::string MacroCaption(const TMacroRecord& record);
// Hint of a macro's button: the text, shortened past 50 characters.
std::string MacroHint(const TMacroRecord& record);

// The page names, in page order; a group is matched exactly (case too).
// -1 when the group names no page.
int MacroPageIndex(std::string_view group);

}  // namespace quorvel
