#include "settings/ClassesX.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include <pugixml.hpp>

#include "base/CodePage.h"
#include "base/Files.h"
#include "settings/XmlPropertyFile.h"

namespace quorvel {
namespace {

bool SameNameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

const char* TypeTag(TTypeKind kind) {
    switch (kind) {
        case TTypeKind::tkInteger: return "Integer";
        case TTypeKind::tkFloat: return "Float";
        case TTypeKind::tkString: return "String";
    }
    return "String";
}

TPropInfo* TPublished::FindProperty(std::string_view name) const {
    for (const auto& p : properties_)
        if (SameNameNoCase(p->Name(), name)) return p.get();
    return nullptr;
}

void TPublished::Add(std::unique_ptr<TPropInfo> info) {
    if (info->Name().empty() || FindProperty(info->Name()) != nullptr)
        throw std::logic_error("published property declared twice or without a name: " + info->Name());
    properties_.push_back(std::move(info));
}

std::string FloatToText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string s(buf, r.ptr);
    // The framework's exponent form: "1E20", "1.5E-7".
    const auto e = s.find('e');
    if (e != std::string::npos) {
        std::string mantissa = s.substr(0, e);
        std::string_view exp(s.data() + e + 1, s.size() - e - 1);
        const bool negative = !exp.empty() && exp.front() == '-';
        if (!exp.empty() && (exp.front() == '-' || exp.front() == '+')) exp.remove_prefix(1);
        while (exp.size() > 1 && exp.front() == '0') exp.remove_prefix(1);
        s = mantissa + "E" + (negative ? "-" : "") + std::string(exp);
    }
    return s;
}

double TextToFloat(std::string_view text) {
    constexpr double kUnparsable = 16777215.0;
    std::string t(Trim(text));
    for (char& c : t)
        if (c == ',') c = '.';
    if (t.empty()) return kUnparsable;
    std::size_t start = t.front() == '+' ? 1 : 0;
    double value = 0.0;
    const char* first = t.data() + start;
    const char* last = t.data() + t.size();
    const auto r = std::from_chars(first, last, value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != last) return kUnparsable;
    return value;
}

bool TextToInt(std::string_view text, std::int32_t& value) {
    const std::string_view t = Trim(text);
    if (t.empty()) return false;
    std::size_t start = t.front() == '+' ? 1 : 0;
    if (start == 1 && (t.size() < 2 || t[1] == '-')) return false;
    std::int32_t v = 0;
    const char* last = t.data() + t.size();
    const auto r = std::from_chars(t.data() + start, last, v, 10);
    if (r.ec != std::errc() || r.ptr != last) return false;
    value = v;
    return true;
}

std::string PropertyText(const TPropInfo& info) {
    switch (info.Kind()) {
        case TTypeKind::tkInteger: return std::to_string(info.GetOrdinal());
        case TTypeKind::tkFloat: return FloatToText(info.GetFloat());
        case TTypeKind::tkString: return info.GetString();
    }
    return {};
}

TAssignResult AssignProperty(TPropInfo& info, std::string_view tag, const std::string& text) {
    if (tag == "Integer") {
        std::int32_t v = 0;
        if (!TextToInt(text, v)) return TAssignResult::Invalid;
        if (info.Kind() != TTypeKind::tkInteger) return TAssignResult::Skipped;
        info.SetOrdinal(v);
    } else if (tag == "Float") {
        const double v = TextToFloat(text);
        if (info.Kind() != TTypeKind::tkFloat) return TAssignResult::Skipped;
        info.SetFloat(v);
    } else {
        if (info.Kind() != TTypeKind::tkString) return TAssignResult::Skipped;
        info.SetString(text);
    }
    return TAssignResult::Assigned;
}

bool TSrzClass::Save() {
    TXmlPropertyWriter writer;
    for (const auto& p : Properties()) writer.Add(*p);
    return writer.SaveTo(FileName);
}

bool TSrzClass::Load(const std::string& fileName) {
    if (!fileName.empty()) FileName = fileName;
    RemoveStaleTemporary(FileName);
    if (!FileExists(FileName)) return true;
    TXmlPropertyReader reader;
    if (!reader.OpenUpToFault(FileName, MaxFileSize)) return false;
    pugi::xml_node root = reader.Select("//Configuration");
    if (!root) return false;
    // In a damaged file the last element may be the one the fault cut short.
    const pugi::xml_node stop = reader.Complete() ? pugi::xml_node() : root.last_child();
    for (pugi::xml_node child : root.children()) {
        if (child == stop) return false;
        TXmlElement e;
        switch (ReadElement(child, e)) {
            case TElementRead::Ignored: continue;
            case TElementRead::Invalid: return false;
            case TElementRead::Element: break;
        }
        TPropInfo* info = FindProperty(e.Name);
        if (info == nullptr) continue;
        if (AssignProperty(*info, e.Tag, e.Text) == TAssignResult::Invalid) return false;
    }
    return reader.Complete();
}

}  // namespace quorvel
