#include "Description.h"

#include <cstdio>

namespace pavohost {
namespace {

// Element content that reads as text: text, coloured runs and pictures.
bool IsInline(const pugi::xml_node& element) {
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) continue;
        if (child.type() != pugi::node_element) return false;
        const std::string name = child.name();
        if (name != "run" && name != "picture") return false;
    }
    return true;
}

std::string InlineText(const pugi::xml_node& element) {
    std::string out;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            out += child.value();
        } else if (std::string(child.name()) == "picture") {
            out += "{picture}";
        } else {
            const std::string colour = child.attribute("colour").value();
            if (colour.empty())
                out += child.text().get();
            else
                out += "{" + colour + "}" + child.text().get() + "{/" + colour + "}";
        }
    }
    return out;
}

// A list: children all of one name, each only text.
bool IsList(const pugi::xml_node& element) {
    std::string name;
    bool any = false;
    for (const pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_element) return false;
        if (child.first_attribute() || child.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; }))
            return false;
        if (!any) name = child.name();
        if (child.name() != name) return false;
        any = true;
    }
    return any;
}

void Render(const pugi::xml_node& element, const std::string& indent, std::vector<std::string>& lines) {
    std::string head = indent + element.name();
    if (const auto name = element.attribute("name")) head += std::string(" ") + name.value();
    for (const pugi::xml_attribute a : element.attributes()) {
        if (std::string(a.name()) == "name") continue;
        const std::string value = a.value();
        const bool plain = !value.empty() && value.find_first_of(" \"=:|") == std::string::npos;
        head += std::string(" ") + a.name() + "=" + (plain ? value : Shown(value));
    }
    if (IsList(element)) {
        std::string items;
        for (const pugi::xml_node child : element.children())
            items += (items.empty() ? "" : " | ") + std::string(child.text().get());
        lines.push_back(head + ": " + items);
        return;
    }
    if (IsInline(element)) {
        std::string text = InlineText(element);
        if (text.empty()) {
            lines.push_back(head);
            return;
        }
        // Line breaks are CR LF; each line of text is shown on its own.
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (;;) {
            const auto at = text.find("\r\n", start);
            parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
            if (at == std::string::npos) break;
            start = at + 2;
        }
        if (parts.size() == 1) {
            lines.push_back(head + " = " + Shown(parts[0]));
        } else {
            lines.push_back(head + ":");
            for (const auto& p : parts) lines.push_back(indent + "  | " + p);
        }
        return;
    }
    lines.push_back(head);
    for (const pugi::xml_node child : element.children())
        if (child.type() == pugi::node_element) Render(child, indent + "  ", lines);
}

}  // namespace

std::string Shown(const std::string& utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

pugi::xml_node FindDescribed(const pugi::xml_node& root, const std::string& target) {
    return root.find_node([&](pugi::xml_node n) {
        return n.type() == pugi::node_element &&
               (target == n.attribute("name").value() || target == n.attribute("caption").value());
    });
}


bool LoadDescription(pugi::xml_document& doc, const std::string& xml) {
    return doc.load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single) && doc.document_element();
}

std::vector<std::string> RenderDescription(const pugi::xml_node& element) {
    std::vector<std::string> lines;
    Render(element, "", lines);
    return lines;
}

}  // namespace pavohost
