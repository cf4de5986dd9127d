// The rich-text pane model at the end of a long pane: a received character,
// a backspace, a "hi" turned into a picture. Panes are never trimmed, so the
// cost must not grow with the text already there.
#include <benchmark/benchmark.h>

#include <string>

#include "ui/RichEdit.h"

namespace {

using quorvel::TRichEdit;

// A pane of `bytes` characters in lines of 64, received and echoed colours
// changing every line.
void Fill(TRichEdit& pane, std::int64_t bytes) {
    const std::string line(62, 'x');
    for (std::int64_t n = 0, i = 0; n < bytes; n += 64, ++i) {
        pane.SetInsertColor(i % 2 == 0 ? 0x008000 : 0x800000);
        pane.SetSelText(line + "\r");
    }
}

void BM_PaneAppendChar(benchmark::State& state) {
    TRichEdit pane("RichEdit1", nullptr);
    Fill(pane, state.range(0));
    for (auto _ : state) {
        pane.SetSelStart(pane.GetTextLen());
        pane.SetSelText("a");
    }
    state.counters["runs"] = static_cast<double>(pane.ColorRuns().size());
}
BENCHMARK(BM_PaneAppendChar)->Arg(1 << 10)->Arg(1 << 20)->Arg(10 << 20);

void BM_PaneBackspaceAndRetype(benchmark::State& state) {
    TRichEdit pane("RichEdit1", nullptr);
    Fill(pane, state.range(0));
    for (auto _ : state) {
        pane.SetSelStart(pane.GetTextLen() - 2);
        pane.SetSelLength(2);
        pane.SetSelText("");
        pane.SetSelText("\r");
    }
}
BENCHMARK(BM_PaneBackspaceAndRetype)->Arg(1 << 10)->Arg(10 << 20);

void BM_PaneSmileyNearTheEnd(benchmark::State& state) {
    TRichEdit pane("RichEdit1", nullptr);
    Fill(pane, state.range(0));
    for (auto _ : state) {
        pane.SetSelStart(pane.GetTextLen());
        pane.SetSelText(" hi ");
        pane.SetSelStart(pane.GetTextLen() - 3);
        pane.SetSelLength(2);
        pane.SetSelText("");
        pane.InsertPicture(101);
    }
}
BENCHMARK(BM_PaneSmileyNearTheEnd)->Arg(1 << 10)->Arg(10 << 20);

}  // namespace
