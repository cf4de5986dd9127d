// Loads arbitrary bytes as a window state file: no crash, no leak; a file
// that is not fully valid is deleted; the state a window ends with survives
// a save and a second opening unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "SimFileSystem.h"
#include "SimPlatform.h"
#include "base/Files.h"
#include "settings/ClassesX.h"

namespace {

using namespace quorvel;

class TFuzzForm : public TSrzForm {
public:
    TFuzzForm(TApplication& app, std::string file) : TSrzForm(app, 0), file_(std::move(file)) {
        Name = "FuzzForm";
        Property("_Level", [this] { return level; }, [this](std::int16_t v) { level = v; });
        Property("_On", [this] { return on; }, [this](bool v) { on = v; });
        Property("_Ratio", [this] { return ratio; }, [this](double v) { ratio = v; });
        Property("_Text", [this] { return text; }, [this](const std::string& v) { text = v; });
    }
    std::int16_t level = 3;
    bool on = false;
    double ratio = 0.5;
    std::string text = "t";

    std::string Snapshot() {
        std::string out = std::to_string(Left) + "," + std::to_string(Top) + "," + std::to_string(Width) + "," +
                          std::to_string(Height) + "," + std::to_string(static_cast<int>(WindowState)) + "," +
                          std::to_string(Tag);
        for (const auto& p : Properties()) out += "|" + p->Name() + "=" + PropertyText(*p);
        return out;
    }

protected:
    void FormCreate() override {
        ConfigFileName = file_;
        FullPathGiven = true;
    }

private:
    std::string file_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sim::TMemoryFileSystem files;
    TFileSystemScope scope(files);
    const std::string input = "/fuzz/state-in.xml";
    const std::string output = "/fuzz/state-out.xml";
    files.AddFile(input, std::string(reinterpret_cast<const char*>(data), size));
    sim::TSimPlatform sim;
    TApplication app(sim.Ports());
    auto form = TForm::Create<TFuzzForm>(app, input);
    DeleteFile(input);

    form->ConfigFileName = output;
    form->SaveState();
    if (!FileExists(output)) std::abort();
    auto again = TForm::Create<TFuzzForm>(app, output);
    if (!FileExists(output)) std::abort();  // our own file is always valid
    if (again->Snapshot() != form->Snapshot()) std::abort();
    return 0;
}
