// The macro pages: reading the host's macro packet and building the five
// toolbars from it, per macro from 10 to 10,000; expanding a 1 MB macro.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "FakeHost.h"
#include "FakeHostLibraries.h"
#include "LoopbackEngine.h"
#include "SimPlatform.h"
#include "base/CodePage.h"
#include "base/Files.h"
#include "plugin/Session.h"
#include "plugin/dsMainForm.h"
#include "tx/MacroTags.h"
#include "tx/MacrosesDataModule.h"

namespace {

using namespace quorvel;

std::string Packet(int macros, std::size_t textSize) {
    static const char* const pages[] = {"CQ", "QSO (Ru)", "Прочее (Ru)", "QSO (En)", "Прочее (En)"};
    std::string text;
    while (text.size() < textSize) text += "CQ de &lt;MYCALL&gt; &lt;CALL&gt;&#013;&#010;";
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"Описание\"/><FIELD attrname=\"Текст\"/><FIELD attrname=\"Группа\"/>"
        "<FIELD attrname=\"Кл.\"/></FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (int i = 0; i < macros; ++i)
        out += "<ROW Описание=\"Macro " + std::to_string(i) + "\" Текст=\"" + text + "\" Группа=\"" + pages[i % 5] +
               "\" Кл.=\"F" + std::to_string(i % 12 + 1) + "\"/>";
    return out + "</ROWDATA></DATAPACKET>";
}

void BM_MacroToolbarsLoad(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / "quorvel-bench-macros";
    std::filesystem::create_directories(folder / "Quorvel");
    WriteFileAtomic((folder / "Quorvel" / "macroses.config.xml").string(), Packet(static_cast<int>(state.range(0)), 60));
    sim::TSimPlatform sim;
    TLoopbackEngineFactory engines;
    sim.Ports().Engines = &engines;
    quorvel::testing::FakeHost host;
    host.config.dataFolder = folder.string();
    quorvel::testing::RegisterHostLibraries(sim.Libraries);
    quorvel::testing::FakeLibs().editorResult = 1;  // every edit reloads the pages
    TPluginLibrary library(sim.Ports());
    library.Host = &host.session;
    auto form = TForm::Create<TMainForm>(library);
    for (auto _ : state) form->mnuEditMacros.Click();
    if (form->ToolBar1.ButtonCount() != state.range(0) / 5) state.SkipWithError("the toolbars were not built");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MacroToolbarsLoad)->RangeMultiplier(10)->Range(10, 10000)->Unit(benchmark::kMillisecond);

void BM_MacroPacketRead(benchmark::State& state) {
    const std::string packet = Packet(static_cast<int>(state.range(0)), 60);
    for (auto _ : state) benchmark::DoNotOptimize(ReadMacroPacket(packet));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MacroPacketRead)->RangeMultiplier(10)->Range(10, 10000);

void BM_MacroExpandMegabyte(benchmark::State& state) {
    std::string text;
    while (text.size() < (1u << 20)) text += "CQ de <MYCALL> <CALL> <NAMEX> pse K\r\n";
    for (auto _ : state) {
        std::string t = text;
        for (std::string_view tag : kMacroTags) ReplaceTag(tag, "UA3ABC", "", t);
        benchmark::DoNotOptimize(t);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_MacroExpandMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace
