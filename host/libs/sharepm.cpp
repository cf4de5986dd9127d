// sharepm: the host's current user profile. The host makes a profile current
// when it opens it; plug-ins ask which one it is and find its folder.
#define PAVO_HOSTLIBS_BUILD
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "pavo/copyout.h"
#include "pavo/hostlibs.h"

namespace {

struct TProfileStore {
    std::mutex lock;
    bool current = false;
    std::string name, path;
};

TProfileStore& Store() {
    static TProfileStore store;
    return store;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The path is appended to the host's data folder: it must stay below it.
bool IsProfilePath(std::string_view path) {
    if (!path.empty() && !IsSeparator(path.front())) return false;
    return quorvel::StaysBelow(path);
}

}  // namespace

extern "C" {

PAVO_HOSTLIB_API int16_t PAVO_CALL smGetProfile(char* name, char* path) {
    TProfileStore& store = Store();
    std::lock_guard guard(store.lock);
    if (!store.current) return 0;
    if (name != nullptr) PavoCopyOut(store.name, name, PAVO_PROFILE_NAME_SIZE);
    if (path != nullptr) PavoCopyOut(store.path, path, PAVO_PATH_SIZE);
    return 1;
}

PAVO_HOSTLIB_API int16_t PAVO_CALL smSetProfile(const char* name, const char* path) {
    TProfileStore& store = Store();
    std::lock_guard guard(store.lock);
    if (name == nullptr) {
        store.current = false;
        store.name.clear();
        store.path.clear();
        return 1;
    }
    const std::string_view n(name), p(path != nullptr ? path : "");
    if (n.size() >= PAVO_PROFILE_NAME_SIZE || p.size() >= PAVO_PATH_SIZE || !IsProfilePath(p)) return 0;
    store.current = true;
    store.name = n;
    store.path = p;
    return 1;
}
}
