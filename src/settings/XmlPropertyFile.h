#pragma once
// The XML side of property files (pugixml), shared by settings objects and
// persisted windows.
#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "settings/ClassesX.h"

namespace quorvel {

// Builds "<?xml version="1.0" ?><Configuration>...</Configuration>", one
// element per call, no whitespace between elements.
class TXmlPropertyWriter {
public:
    TXmlPropertyWriter();
    void Add(const TPropInfo& info);
    void Add(std::string_view name, TTypeKind kind, const std::string& text);
    // The file's bytes (UTF-8).
    std::string Text() const;
    // Replaces the file at path atomically; false when it could not.
    bool SaveTo(const std::string& path) const;

private:
    pugi::xml_document doc_;
    pugi::xml_node root_;
};

class TXmlPropertyReader {
public:
    // Reads and parses the file; false when it can't be read, is larger than
    // maxBytes or is not well-formed.
    bool Open(const std::string& path, std::uintmax_t maxBytes);
    bool Parse(std::string_view bytes);
    // Like Open, but a file that is not well-formed keeps the nodes read
    // before the fault (Complete() then says false); false only when the
    // file cannot be read or is larger than maxBytes.
    bool OpenUpToFault(const std::string& path, std::uintmax_t maxBytes);
    bool Complete() const { return complete_; }
    // Past this many elements a file counts as damaged there: every element
    // costs the parser about a hundred bytes of memory.
    static constexpr std::size_t MaxElements = 500000;
    // The first node in document order matching the XPath, or none.
    pugi::xml_node Select(const char* xpath) const;

private:
    pugi::xml_document doc_;
    bool complete_ = false;
};

// One child of the Configuration element.
struct TXmlElement {
    std::string Name;  // as in the file
    std::string Tag;   // the "type" attribute
    std::string Text;  // text content, cp1251
};
enum class TElementRead {
    Element,  // an element with a "type" attribute
    Ignored,  // whitespace between elements
    Invalid   // anything else: no "type", a comment, text, a processing instruction
};
TElementRead ReadElement(pugi::xml_node child, TXmlElement& out);

// All text below the node (text and CDATA), cp1251.
std::string TextContent(pugi::xml_node node);

}  // namespace quorvel
