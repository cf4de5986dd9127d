#pragma once
// The host's support libraries (pavo/hostlibs.h) as the host itself uses them:
// it tells sharepm which profile is current and kvtfsys where the
// application-data folder is, and keeps both loaded so that what it set holds
// for the plug-ins that load them by name.
#include <filesystem>
#include <string>

#include "HostInterfaces.h"
#include "HostSettings.h"
#include "pavo/hostlibs.h"

namespace pavohost {

class TSupportLibraries {
public:
    // folder: where the host installs them (its executable's folder). A
    // library that is missing is reported, not fatal: plug-ins then run
    // without what it gives.
    TSupportLibraries(const std::filesystem::path& folder, const THostFolders& data, IHostEvents& events);
    ~TSupportLibraries();
    TSupportLibraries(const TSupportLibraries&) = delete;
    TSupportLibraries& operator=(const TSupportLibraries&) = delete;

    bool ProfileSet() const { return profileSet_; }
    bool AppDataSet() const { return appDataSet_; }
    // A front end with windows gives the macro editor its dialog; it holds
    // while these libraries live. False when the editors library is missing.
    bool SetMacrosesEditorDialog(esMacrosesEditorDialogFn dialog, void* context);

private:
    void* sharepm_ = nullptr;
    void* kvtfsys_ = nullptr;
    void* editors_ = nullptr;
    std::filesystem::path folder_;
    IHostEvents& events_;
    bool profileSet_ = false, appDataSet_ = false;
};

}  // namespace pavohost
