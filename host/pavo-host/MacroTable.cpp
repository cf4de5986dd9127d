#include "MacroTable.h"

#include "HostText.h"

namespace pavohost {
namespace {

std::size_t Characters(const std::string& utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The escapes of the data packet's attribute values.
std::string Attribute(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            case '\r': out += "&#013;"; break;
            case '\n': out += "&#010;"; break;
            case '\t': out += "&#009;"; break;
            case '\\': out += "&#092;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string MacroProblem(const TMacro& m) {
    if (m.Page.empty() || Characters(m.Page) > 20) return "the page needs 1 to 20 characters";
    if (m.Caption.empty() || Characters(m.Caption) > 100) return "the caption needs 1 to 100 characters";
    if (Characters(m.Shortcut) > 10) return "the shortcut has more than 10 characters";
    return {};
}

std::vector<TMacro> ParseMacroList(const std::string& text) {
    std::vector<TMacro> macros;
    const auto lines = Split(text, '\n');
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        std::string line = lines[i];
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (int bar = 0; bar < 3; ++bar) {
            const auto at = line.find('|', start);
            if (at == std::string::npos)
                throw TMacroListError(number, "expected PAGE | CAPTION | SHORTCUT | TEXT");
            parts.push_back(Trim(line.substr(start, at - start)));
            start = at + 1;
        }
        TMacro m{parts[0], parts[1], parts[2], {}};
        const std::string raw = Trim(line.substr(start));
        for (std::size_t k = 0; k < raw.size(); ++k) {
            if (raw[k] == '\\' && k + 1 < raw.size() && (raw[k + 1] == 'n' || raw[k + 1] == '\\')) {
                m.Text += raw[k + 1] == 'n' ? "\r\n" : "\\";
                ++k;
            } else {
                m.Text += raw[k];
            }
        }
        if (const std::string problem = MacroProblem(m); !problem.empty()) throw TMacroListError(number, problem);
        macros.push_back(std::move(m));
    }
    return macros;
}

std::string FormatMacroPacket(const std::vector<TMacro>& macros) {
    std::string out =
        "<?xml version=\"1.0\" standalone=\"yes\"?>\n"
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"Описание\" fieldtype=\"string\" WIDTH=\"100\"/>"
        "<FIELD attrname=\"Текст\" fieldtype=\"bin.hex\" SUBTYPE=\"Text\" WIDTH=\"1\"/>"
        "<FIELD attrname=\"Группа\" fieldtype=\"string\" WIDTH=\"20\"/>"
        "<FIELD attrname=\"Кл.\" fieldtype=\"string\" WIDTH=\"10\"/>"
        "</FIELDS><PARAMS/></METADATA><ROWDATA>\n";
    for (const TMacro& m : macros)
        out += "<ROW Описание=\"" + Attribute(m.Caption) + "\" Текст=\"" + Attribute(m.Text) + "\" Группа=\"" +
               Attribute(m.Page) + "\" Кл.=\"" + Attribute(m.Shortcut) + "\"/>\n";
    out += "</ROWDATA></DATAPACKET>\n";
    return out;
}

}  // namespace pavohost
