// Loads arbitrary bytes as a property file: no crash, no leak, and whatever
// was loaded survives a save and a second load unchanged.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SimFileSystem.h"
#include "base/Files.h"
#include "settings/ClassesX.h"
#include "settings/dsConfig.h"

namespace {

using namespace quorvel;

// The plug-in's settings plus one property of each remaining kind.
class TFuzzSettings : public dsConfig::TConfig {
public:
    TFuzzSettings() {
        Property("Ratio", Ratio, 0.5);
        Property("Small", Small, std::int16_t{7});
        Property("Byte", Byte, std::uint8_t{200});
    }
    double Ratio;
    std::int16_t Small;
    std::uint8_t Byte;
};

std::string Snapshot(const TSrzClass& s) {
    std::string out;
    for (const auto& p : s.Properties()) out += p->Name() + "=" + PropertyText(*p) + "\n";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::TMemoryFileSystem files;
    TFileSystemScope scope(files);
    const std::string input = "/fuzz/in.xml";
    const std::string output = "/fuzz/out.xml";
    files.AddFile(input, std::string(reinterpret_cast<const char*>(data), size));

    TFuzzSettings loaded;
    loaded.Load(input);
    loaded.FileName = output;
    if (!loaded.Save()) std::abort();

    TFuzzSettings again;
    if (!again.Load(output)) std::abort();
    if (Snapshot(again) != Snapshot(loaded)) std::abort();
    return 0;
}
