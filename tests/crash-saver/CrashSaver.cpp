// Saves the plug-in's settings, its window state, the filter presets, a
// received file and the host's log over and over until it is killed, so a test can kill it at any
// moment of a save. Each settings file alternates between two complete
// versions ('A' and 'B' payloads); the log grows by one record per round.
// Prints "ready" once every file holds a first complete version.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "LogBook.h"
#include "SimPlatform.h"
#include "base/Files.h"
#include "modem/FilterPresets.h"
#include "rxtext/TextFileTransfer.h"
#include "settings/ClassesX.h"
#include "ui/Application.h"

namespace {

using namespace quorvel;

// Big enough that a save takes a while to write.
constexpr std::size_t kPayloadBytes = 256 * 1024;

class TPayloadSettings : public TSrzClass {
public:
    TPayloadSettings() { Property("Payload", Payload, std::string()); }
    std::string Payload;
};

class TPayloadForm : public TSrzForm {
public:
    TPayloadForm(TApplication& app, std::string file) : TSrzForm(app, 0), file_(std::move(file)) {
        Property("_Payload", [this] { return payload; }, [this](const std::string& v) { payload = v; });
    }
    std::string payload;

protected:
    void FormCreate() override {
        ConfigFileName = file_;
        FullPathGiven = true;
    }

private:
    std::string file_;
};

std::vector<TFilterPreset> Presets(char fill) {
    std::vector<TFilterPreset> presets;
    for (int i = 0; i < 2000; ++i) presets.push_back({std::string(40, fill) + std::to_string(i), 1, 2, 3});
    return presets;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: crash-saver FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    sim::TSimPlatform platform;
    TApplication app(platform.Ports());
    auto form = TForm::Create<TPayloadForm>(app, JoinPath(folder, "mainform.config.xml"));
    TPayloadSettings settings;
    settings.FileName = JoinPath(folder, "configuration.xml");
    const std::string presets = JoinPath(folder, "filters.list");
    const std::string received = JoinPath(folder, "RcFiles");
    pavohost::TLogBook log(std::filesystem::path(folder) / "log.adi", "1.0");
    std::string error;
    if (!log.Open(error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::size_t first = log.Records().size();
    for (std::size_t round = first;; ++round) {
        const char fill = round % 2 == 0 ? 'A' : 'B';
        settings.Payload.assign(kPayloadBytes, fill);
        form->payload.assign(kPayloadBytes, fill);
        if (!settings.Save() || !WritePresetFile(presets, Presets(fill))) return 1;
        if (!StoreReceivedFile(received, "qso.txt", settings.Payload)) return 1;
        form->SaveState();
        pavohost::TAdifRecord record;
        record.Set("CALL", "R" + std::to_string(round));
        record.Set("COMMENT", std::string(2000, fill));
        if (!log.Append(record, error)) return 1;
        if (round == first) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
