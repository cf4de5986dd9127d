#pragma once
// Where the host keeps its data, and its settings file.
//
//   {application data}/Zentavo/pavo-host/                host data folder
//       Profiles/Default/configuration.xml              host settings (the profile's)
//       Profiles/Default/log.adi                        the log (setting DBPath)
//       Plugins Data/                                    plug-ins' data (setting PluginsDataPath)
//
// The application-data folder is the XDG data home unless --data names one.
// The settings file is an XML property file, the format the plug-in's host
// configuration reader expects: <Configuration> holding one element per
// property, <Name type="String|Integer|Float">value</Name>.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace pavohost {

struct THostFolders {
    std::filesystem::path AppData;   // application-data folder
    std::filesystem::path HostData;  // AppData/Zentavo/pavo-host
    std::string ProfileName;         // "Default"
    std::string ProfilePath;         // "\Profiles\Default": appended to HostData
    std::filesystem::path Profile;   // HostData + ProfilePath
    std::filesystem::path SettingsFile;

    // dataOverride empty: $XDG_DATA_HOME, else $HOME/.local/share.
    static THostFolders For(const std::filesystem::path& dataOverride);
};

// The host's own settings. Values are kept as UTF-8 text; the file keeps
// properties this host does not know, so a newer host's settings survive.
class THostSettings {
public:
    struct TProperty {
        std::string Name, Type, Value;
    };

    // Defaults for a new profile; paths derive from the folders.
    explicit THostSettings(const THostFolders& folders);

    // A missing file keeps the defaults; a damaged one keeps what was read
    // before the fault. Returns false for a damaged file.
    bool Load();
    // The folder settings (PluginsDataPath, DBPath) name folders inside the
    // data folder. A data folder copied elsewhere still names the original's:
    // a default location of another data folder is moved to this one. Paths
    // the operator chose outside any data folder stay. True when one moved.
    bool DeriveFolders();
    // Writes the whole file atomically (temporary file, then rename); false
    // with the reason when it cannot.
    bool Save(std::string& error) const;

    std::string Get(const std::string& name) const;
    int GetInt(const std::string& name, int fallback) const;
    void Set(const std::string& name, const std::string& value);  // String, unless declared otherwise
    void SetInt(const std::string& name, int value);

    const std::vector<TProperty>& Properties() const { return properties_; }
    const std::filesystem::path& File() const { return file_; }

    // Operator's data by the names the host's settings dialog uses
    // (call, name, qth, grid, cq, itu, iota, power, rig, state) to properties.
    static const std::map<std::string, std::string>& StationKeys();

private:
    TProperty* Find(const std::string& name);
    const TProperty* Find(const std::string& name) const;
    std::filesystem::path file_;
    std::filesystem::path hostData_;
    std::vector<TProperty> properties_;
};

}  // namespace pavohost
