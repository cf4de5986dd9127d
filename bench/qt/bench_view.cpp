// A receive pane of 10 MB taking received characters with its view attached
// and visible: the coalescing view against a naive QTextEdit that inserts
// every character at the end with its colour. Both run in this one binary, so
// the ratio is measured on the same machine in the same run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextCursor>
#include <QTextEdit>
#include <memory>
#include <string>

#include "QtRichPane.h"
#include "QtSync.h"
#include "ui/RichEdit.h"

namespace {

using namespace quorvel;

constexpr std::size_t kPaneBytes = 10u * 1024 * 1024;
constexpr int kCharsPerTurn = 64;  // characters the engine delivers between two turns of the loop

// Received text as it looks in a pane: lines of a contact, CR LF breaks.
std::string Traffic(std::size_t bytes) {
    static const std::string line = "UA3ABC de DL1XYZ tnx fer call ur rst 599 name Ivan qth Moscow hi hi 73 k\r\n";
    std::string out;
    out.reserve(bytes + line.size());
    while (out.size() < bytes) out += line;
    out.resize(bytes);
    return out;
}

char Next(std::size_t i) {
    static const std::string text = "cq cq de ua3abc ua3abc pse k\r";
    return text[i % text.size()];
}

void BM_PaneWithView(benchmark::State& state) {
    TFocusScope focus;
    TRichEdit model("RichEdit1", &focus);
    model.DefAttributes.Name = "DejaVu Sans Mono";
    model.DefAttributes.Size = 10;
    model.SetInsertColor(clGreen);
    model.SetSelText(Traffic(kPaneBytes));
    qt::TQtSync sync;
    qt::TQtRichPane pane(model, sync);
    pane.resize(640, 400);
    pane.show();
    QApplication::processEvents();
    std::size_t i = 0;
    for (auto _ : state) {
        // What the receive pipeline does per character.
        model.SetSelStart(model.GetTextLen());
        model.SetInsertColor((i / 7) % 2 == 0 ? clGreen : clNavy);
        const char c = Next(i);
        model.SetSelText(c == '\r' ? std::string_view("\r\n") : std::string_view(&c, 1));
        model.SetSelLength(0);
        if (++i % kCharsPerTurn == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["syncs"] = static_cast<double>(sync.Flushes());
    state.counters["pane_MB"] = static_cast<double>(model.GetTextLen()) / (1024.0 * 1024.0);
}

// Played fast with windows, the loop turns after every character: each one
// is laid out, painted and flushed to the screen on its own. Pane sizes from
// small to a whole large screen.
void BM_PaneShownCharacterPerTurn(benchmark::State& state) {
    TFocusScope focus;
    TRichEdit model("RichEdit1", &focus);
    model.DefAttributes.Name = "DejaVu Sans Mono";
    model.DefAttributes.Size = 10;
    model.SetInsertColor(clGreen);
    model.SetSelText(Traffic(1024 * 1024));
    qt::TQtSync sync;
    qt::TQtRichPane pane(model, sync);
    pane.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    pane.show();
    QApplication::processEvents();
    std::size_t i = 0;
    for (auto _ : state) {
        model.SetSelStart(model.GetTextLen());
        model.SetInsertColor((i / 7) % 2 == 0 ? clGreen : clNavy);
        const char c = Next(i++);
        model.SetSelText(c == '\r' ? std::string_view("\r\n") : std::string_view(&c, 1));
        model.SetSelLength(0);
        QApplication::processEvents();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_NaiveTextEdit(benchmark::State& state) {
    QTextEdit edit;
    edit.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
    edit.setReadOnly(true);
    edit.setPlainText(QString::fromLatin1(Traffic(kPaneBytes).c_str()));
    edit.resize(640, 400);
    edit.show();
    QApplication::processEvents();
    std::size_t i = 0;
    QTextCharFormat green, navy;
    green.setForeground(QColor(0, 0x80, 0));
    navy.setForeground(QColor(0, 0, 0x80));
    for (auto _ : state) {
        QTextCursor cursor(edit.document());
        cursor.movePosition(QTextCursor::End);
        cursor.setCharFormat((i / 7) % 2 == 0 ? green : navy);
        const char c = Next(i);
        cursor.insertText(c == '\r' ? QStringLiteral("\n") : QString(QLatin1Char(c)));
        edit.setTextCursor(cursor);
        edit.ensureCursorVisible();
        if (++i % kCharsPerTurn == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

BENCHMARK(BM_PaneWithView)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_PaneShownCharacterPerTurn)->Args({320, 200})->Args({640, 400})->Args({1900, 1000})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NaiveTextEdit)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
