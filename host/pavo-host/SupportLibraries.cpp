#include "SupportLibraries.h"

#include <dlfcn.h>

#include "HostText.h"

namespace pavohost {
namespace {

void* Open(const std::filesystem::path& file, IHostEvents& events) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        events.HostEvent("host", "support library " + file.filename().string() + " not loaded (" +
                                     (why != nullptr ? why : "unknown error") + "); plug-ins run without it");
    }
    return handle;
}

}  // namespace

TSupportLibraries::TSupportLibraries(const std::filesystem::path& folder, const THostFolders& data,
                                     IHostEvents& events)
    : folder_(folder), events_(events) {
    sharepm_ = Open(folder / "sharepm.so", events);
    kvtfsys_ = Open(folder / "kvtfsys.so", events);
    if (sharepm_ != nullptr)
        if (auto set = reinterpret_cast<smSetProfileFn>(dlsym(sharepm_, "smSetProfile")))
            profileSet_ = set(ToCp1251(data.ProfileName).c_str(), ToCp1251(data.ProfilePath).c_str()) != 0;
    if (kvtfsys_ != nullptr)
        if (auto set = reinterpret_cast<fsSetAppDataPathFn>(dlsym(kvtfsys_, "fsSetAppDataPath"))) {
            set(ToCp1251(data.AppData.string()).c_str());
            appDataSet_ = true;
        }
}

TSupportLibraries::~TSupportLibraries() {
    // Put the libraries back as found, for anything that still holds them.
    if (sharepm_ != nullptr) {
        if (auto set = reinterpret_cast<smSetProfileFn>(dlsym(sharepm_, "smSetProfile"))) set(nullptr, nullptr);
        dlclose(sharepm_);
    }
    if (kvtfsys_ != nullptr) {
        if (auto set = reinterpret_cast<fsSetAppDataPathFn>(dlsym(kvtfsys_, "fsSetAppDataPath"))) set(nullptr);
        dlclose(kvtfsys_);
    }
    if (editors_ != nullptr) {
        (void)SetMacrosesEditorDialog(nullptr, nullptr);
        dlclose(editors_);
    }
}

bool TSupportLibraries::SetMacrosesEditorDialog(esMacrosesEditorDialogFn dialog, void* context) {
    if (editors_ == nullptr && dialog == nullptr) return true;
    if (editors_ == nullptr) editors_ = Open(folder_ / "editors.so", events_);
    if (editors_ == nullptr) return false;
    auto set = reinterpret_cast<esSetMacrosesEditorDialogFn>(dlsym(editors_, "esSetMacrosesEditorDialog"));
    if (set == nullptr) return false;
    set(dialog, context);
    return true;
}

}  // namespace pavohost
