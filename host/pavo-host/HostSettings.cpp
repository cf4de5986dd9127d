#include "HostSettings.h"

#include <cstdlib>
#include <optional>
#include <sstream>
#include <system_error>

#include <pugixml.hpp>

#include "HostFiles.h"
#include "HostText.h"

namespace pavohost {
namespace fs = std::filesystem;

THostFolders THostFolders::For(const fs::path& dataOverride) {
    THostFolders f;
    if (!dataOverride.empty()) {
        f.AppData = dataOverride;
    } else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        f.AppData = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        f.AppData = fs::path(home) / ".local" / "share";
    } else {
        f.AppData = fs::current_path() / ".pavo-host-data";
    }
    f.HostData = f.AppData / "Zentavo" / "pavo-host";
    f.ProfileName = "Default";
    f.ProfilePath = "\\Profiles\\Default";  // as the profile store hands it to plug-ins
    f.Profile = f.HostData / "Profiles" / "Default";
    f.SettingsFile = f.Profile / "configuration.xml";
    return f;
}

const std::map<std::string, std::string>& THostSettings::StationKeys() {
    static const std::map<std::string, std::string> keys = {
        {"call", "Operator"}, {"name", "MyName"}, {"qth", "MyCity"},  {"grid", "MyGridSquare"},
        {"cq", "MyCQ"},       {"itu", "MyITU"},   {"iota", "MyIOTA"}, {"power", "TxPWR"},
        {"rig", "MyRig"},     {"state", "MyCnty"}};
    return keys;
}

namespace {

// Where each folder setting lies inside the host data folder by default.
const std::pair<const char*, fs::path> kFolderSettings[] = {
    {"PluginsDataPath", fs::path("Plugins Data")},
    {"DBPath", fs::path("Profiles") / "Default" / "log.adi"},
};

// The part of path after the last "Zentavo/pavo-host", if it has one.
std::optional<fs::path> InsideAHostDataFolder(const fs::path& path) {
    std::vector<fs::path> parts(path.begin(), path.end());
    for (std::size_t i = parts.size(); i >= 2; --i)
        if (parts[i - 2] == "Zentavo" && parts[i - 1] == "pavo-host") {
            fs::path rest;
            for (std::size_t j = i; j < parts.size(); ++j) rest /= parts[j];
            return rest;
        }
    return std::nullopt;
}

}  // namespace

THostSettings::THostSettings(const THostFolders& folders) : file_(folders.SettingsFile), hostData_(folders.HostData) {
    properties_ = {
        {"Operator", "String", ""},
        {"MyName", "String", ""},
        {"MyCity", "String", ""},
        {"MyGridSquare", "String", ""},
        {"MyCQ", "String", ""},
        {"MyITU", "String", ""},
        {"MyIOTA", "String", ""},
        {"TxPWR", "String", ""},
        {"MyRig", "String", ""},
        {"MyCnty", "String", ""},
        {"ToolbarStyle", "Integer", "0"},
        {"ImageStyle", "String", "По умолчанию"},
        {"PluginsDataPath", "String", (folders.HostData / "Plugins Data").string()},
        {"DBPath", "String", (folders.Profile / "log.adi").string()},
    };
}

THostSettings::TProperty* THostSettings::Find(const std::string& name) {
    for (auto& p : properties_)
        if (EqualsNoCase(p.Name, name)) return &p;
    return nullptr;
}

const THostSettings::TProperty* THostSettings::Find(const std::string& name) const {
    for (const auto& p : properties_)
        if (EqualsNoCase(p.Name, name)) return &p;
    return nullptr;
}

std::string THostSettings::Get(const std::string& name) const {
    const TProperty* p = Find(name);
    return p != nullptr ? p->Value : std::string();
}

int THostSettings::GetInt(const std::string& name, int fallback) const {
    const std::string text = Get(name);
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        return used == text.size() ? value : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

void THostSettings::Set(const std::string& name, const std::string& value) {
    if (TProperty* p = Find(name))
        p->Value = value;
    else
        properties_.push_back({name, "String", value});
}

void THostSettings::SetInt(const std::string& name, int value) {
    if (TProperty* p = Find(name)) {
        p->Type = "Integer";
        p->Value = std::to_string(value);
    } else {
        properties_.push_back({name, "Integer", std::to_string(value)});
    }
}

// Real settings files are a few kilobytes.
constexpr std::uintmax_t kMaxSettingsBytes = 64u << 20;

bool THostSettings::Load() {
    RemoveStaleTemporary(file_);
    std::string error;
    const auto text = ReadWholeFile(file_, error, kMaxSettingsBytes);
    if (!text) return error.empty();
    pugi::xml_document doc;
    if (!doc.load_buffer(text->data(), text->size())) return false;
    const pugi::xml_node root = doc.select_node("//Configuration").node();
    if (!root) return false;
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element) continue;
        const pugi::xml_attribute type = child.attribute("type");
        if (!type) return false;
        const std::string name = child.name();
        const std::string value = child.text().get();
        if (TProperty* p = Find(name)) {
            p->Type = type.value();
            p->Value = value;
        } else {
            properties_.push_back({name, type.value(), value});
        }
    }
    return true;
}

bool THostSettings::DeriveFolders() {
    bool moved = false;
    for (const auto& [name, inside] : kFolderSettings) {
        TProperty* p = Find(name);
        if (p == nullptr || p->Value.empty()) continue;
        const fs::path value = fs::path(p->Value).lexically_normal();
        const auto rest = InsideAHostDataFolder(value);
        if (!rest || *rest != inside) continue;
        const std::string ours = (hostData_ / inside).string();
        if (value == fs::path(ours).lexically_normal()) continue;
        p->Value = ours;
        moved = true;
    }
    return moved;
}

bool THostSettings::Save(std::string& error) const {
    pugi::xml_document doc;
    doc.load_string("<?xml version=\"1.0\" ?><Configuration/>", pugi::parse_default | pugi::parse_declaration);
    pugi::xml_node root = doc.child("Configuration");
    for (const auto& p : properties_) {
        pugi::xml_node element = root.append_child(p.Name.c_str());
        element.append_attribute("type").set_value(p.Type.c_str());
        element.text().set(p.Value.c_str());
    }
    std::ostringstream text;
    doc.save(text, "", pugi::format_raw, pugi::encoding_utf8);
    return WriteFileAtomically(file_, text.str(), error);
}

}  // namespace pavohost
