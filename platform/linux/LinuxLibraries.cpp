#include "LinuxLibraries.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <system_error>

namespace quorvel::linux_platform {
namespace {

class TLinuxLibrary final : public ILibrary {
public:
    explicit TLinuxLibrary(void* handle) : handle_(handle) {}
    ~TLinuxLibrary() override { dlclose(handle_); }
    void* Symbol(const char* name) const override { return dlsym(handle_, name); }

private:
    void* handle_;
};

}  // namespace

std::string PlatformLibraryName(const std::string& name) {
    std::string base = name;
    if (base.size() > 4) {
        std::string tail = base.substr(base.size() - 4);
        for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (tail == ".dll") base.resize(base.size() - 4);
    }
    if (base.find(".so") == std::string::npos && base.find(".kpl") == std::string::npos) base += ".so";
    return base;
}

std::unique_ptr<ILibrary> TLinuxLibraryLoader::LoadPath(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    return std::make_unique<TLinuxLibrary>(handle);
}

std::unique_ptr<ILibrary> TLinuxLibraryLoader::Load(const std::string& name) {
    const std::string file = PlatformLibraryName(name);
    if (file.find('/') != std::string::npos) return LoadPath(file);
    const std::filesystem::path exe = TLinuxProcess().ExecutablePath();
    if (!exe.empty()) {
        std::error_code ec;
        const auto beside = exe.parent_path() / file;
        if (std::filesystem::exists(beside, ec))
            if (auto library = LoadPath(beside.string())) return library;
    }
    return LoadPath(file);
}

std::string TLinuxProcess::ExecutablePath() const {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string TLinuxProcess::ModulePath(const std::string& moduleName) const {
    struct Search {
        std::string name, found;
    } search{moduleName, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) -> int {
            auto* s = static_cast<Search*>(data);
            if (info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;
            const std::filesystem::path p(info->dlpi_name);
            if (p.filename() == s->name) {
                s->found = p.string();
                return 1;
            }
            return 0;
        },
        &search);
    return search.found;
}

std::string ModulePathOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    return info.dli_fname;
}

}  // namespace quorvel::linux_platform
