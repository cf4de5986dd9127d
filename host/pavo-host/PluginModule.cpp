#include "PluginModule.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace pavohost {

TPluginModule::TPluginModule(const std::string& path) : path_(path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw THostError(kExitPlugin, "no plug-in at " + path + " (no such file)");
    // A path without a slash would make dlopen search the library path.
    const std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        throw THostError(kExitPlugin, "cannot load " + path + ": " + (why != nullptr ? why : "unknown error"));
    }
    auto symbol = [this](const char* name) { return dlsym(handle_, name); };
    auto getVersion = reinterpret_cast<PavoGetVersionFn>(symbol("PavoGetVersion"));
    auto getInfo = reinterpret_cast<PavoGetInfoFn>(symbol("PavoGetInfo"));
    Run = reinterpret_cast<PavoRunFn>(symbol("PavoRun"));
    Release = reinterpret_cast<PavoReleaseFn>(symbol("PavoRelease"));
    SendNotify = reinterpret_cast<PavoSendNotifyFn>(symbol("PavoSendNotify"));
    ShowOptionsDialog = reinterpret_cast<PavoShowOptionsDialogFn>(symbol("PavoShowOptionsDialog"));
    std::string missing;
    for (const auto& [name, present] : {std::pair{"PavoGetVersion", getVersion != nullptr},
                                        std::pair{"PavoGetInfo", getInfo != nullptr}, std::pair{"PavoRun", Run != nullptr},
                                        std::pair{"PavoRelease", Release != nullptr}})
        if (!present) missing += std::string(missing.empty() ? "" : ", ") + name;
    if (!missing.empty()) {
        dlclose(handle_);
        handle_ = nullptr;
        throw THostError(kExitPlugin, path + " is not a Pavo plug-in: it does not export " + missing);
    }
    version_ = getVersion();
    if (version_ != PAVO_VERSION) {
        dlclose(handle_);
        handle_ = nullptr;
        if (version_ == 0)
            throw THostError(kExitPlugin, path + " reports host-interface version 0: it could not start (are the "
                                                 "host's support libraries installed beside the host?)");
        throw THostError(kExitPlugin, path + " was built for host-interface version " + std::to_string(version_) +
                                          "; this host speaks version " + std::to_string(PAVO_VERSION));
    }
    getInfo(&info_);
}

TPluginModule::~TPluginModule() {
    if (handle_ != nullptr) dlclose(handle_);
}

}  // namespace pavohost
