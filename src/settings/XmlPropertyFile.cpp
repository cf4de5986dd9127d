#include "settings/XmlPropertyFile.h"

#include "base/CodePage.h"
#include "base/Files.h"

namespace quorvel {
namespace {

// The empty document every save starts from (string resource 65107).
constexpr char kEmptyDocument[] = R"(<?xml version="1.0" ?><Configuration/>)";
constexpr std::string_view kDeclaration = R"(<?xml version="1.0" ?>)";

// Whitespace-only text inside an element is its value (a string of blanks);
// between elements it is dropped by the parser. Comments and processing
// instructions are kept so that the reader can refuse them. Line ends are
// kept as written: a value's CR LF comes back as CR LF.
constexpr unsigned kParseOptions = (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_comments | pugi::parse_pi |
                                   pugi::parse_ws_pcdata_single;

struct StringWriter final : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

bool IsWhitespace(const char* s) {
    for (; *s != '\0'; ++s)
        if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n') return false;
    return true;
}

}  // namespace

TXmlPropertyWriter::TXmlPropertyWriter() {
    doc_.load_string(kEmptyDocument, pugi::parse_default);
    root_ = doc_.document_element();
}

void TXmlPropertyWriter::Add(const TPropInfo& info) { Add(info.Name(), info.Kind(), PropertyText(info)); }

void TXmlPropertyWriter::Add(std::string_view name, TTypeKind kind, const std::string& text) {
    pugi::xml_node e = root_.append_child(Cp1251ToUtf8(name).c_str());
    e.append_child(pugi::node_pcdata).set_value(Cp1251ToUtf8(text).c_str());
    e.append_attribute("type").set_value(TypeTag(kind));
}

std::string TXmlPropertyWriter::Text() const {
    StringWriter w;
    w.out.append(kDeclaration);
    doc_.save(w, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(w.out);
}

bool TXmlPropertyWriter::SaveTo(const std::string& path) const { return WriteFileAtomic(path, Text()); }

bool TXmlPropertyReader::Open(const std::string& path, std::uintmax_t maxBytes) {
    const auto bytes = ReadFileBytes(path, maxBytes);
    return bytes && Parse(*bytes);
}

bool TXmlPropertyReader::Parse(std::string_view bytes) {
    // Cut before the element past the limit, so the parse ends there as at any other fault.
    std::size_t elements = 0, end = 0;
    for (; end < bytes.size(); ++end)
        if (bytes[end] == '<' && (end + 1 == bytes.size() || bytes[end + 1] != '/') && ++elements > MaxElements) break;
    complete_ = end == bytes.size() &&
                static_cast<bool>(doc_.load_buffer(bytes.data(), end, kParseOptions, pugi::encoding_auto));
    if (end != bytes.size()) doc_.load_buffer(bytes.data(), end, kParseOptions, pugi::encoding_auto);
    return complete_;
}

bool TXmlPropertyReader::OpenUpToFault(const std::string& path, std::uintmax_t maxBytes) {
    const auto bytes = ReadFileBytes(path, maxBytes);
    if (!bytes) return false;
    Parse(*bytes);
    return true;
}

pugi::xml_node TXmlPropertyReader::Select(const char* xpath) const { return doc_.select_node(xpath).node(); }

TElementRead ReadElement(pugi::xml_node child, TXmlElement& out) {
    if (child.type() == pugi::node_pcdata && IsWhitespace(child.value())) return TElementRead::Ignored;
    if (child.type() != pugi::node_element) return TElementRead::Invalid;
    const pugi::xml_attribute type = child.attribute("type");
    if (!type) return TElementRead::Invalid;
    out.Name = child.name();
    out.Tag = type.value();
    out.Text = TextContent(child);
    return TElementRead::Element;
}

std::string TextContent(pugi::xml_node node) {
    std::string utf8;
    // Iterative walk: a hostile file may nest elements arbitrarily deep.
    pugi::xml_node n = node.first_child();
    while (n && n != node) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) utf8 += n.value();
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != node && !n.next_sibling()) n = n.parent();
        if (n == node) break;
        n = n.next_sibling();
    }
    return Utf8ToCp1251(utf8);
}

}  // namespace quorvel
