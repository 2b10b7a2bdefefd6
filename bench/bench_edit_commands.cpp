// The clipboard commands on the 10 MiB, 160,000-line text opened as the user
// opens it, each figure including the repaint: Select All and Copy of the
// whole document, and a paste of 1 MiB of plain text into its middle. The
// clipboard is the platform's own.
#include "BenchApp.h"
#include "BenchData.h"

#include "app/Main.h"
#include "app/state/modMainModule.h"
#include "document/FileCommands.h"
#include "editing/EditCommands.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/Clipboard.h"

#include <benchmark/benchmark.h>

namespace {

using namespace benchapp;

RichTextBox &openTenMiBDocument()
{
    useTemporarySettings();
    Main(QString());
    OpenDocument(benchdata::tenMiBTextFile());
    return *App.CurrentRichTextBox;
}

void BM_SelectAllCopy(benchmark::State &state)
{
    RichTextBox &box = openTenMiBDocument();
    const int length = box.textLength();
    for (auto _ : state) {
        EditSelectAll();
        EditCopy();
        box.viewport()->repaint();
        state.PauseTiming();
        if (Clipboard::GetText().size() != length)
            state.SkipWithError("the whole document was not copied");
        box.setSelStart(0);
        Clipboard::Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * benchdata::tenMiBText().size());
    endRun();
}
BENCHMARK(BM_SelectAllCopy)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_PasteLarge(benchmark::State &state)
{
    RichTextBox &box = openTenMiBDocument();
    // Whole lines, about 1 MiB of them.
    const QByteArray &text = benchdata::tenMiBText();
    const QString pasted = QString::fromLatin1(text.left(text.lastIndexOf('\n', 1024 * 1024) + 1));
    const int length = box.textLength();
    const int middle = length / 2;
    Clipboard::SetText(pasted);
    for (auto _ : state) {
        box.setSelStart(middle);
        EditPaste();
        box.viewport()->repaint();
        state.PauseTiming();
        if (box.textLength() != length + pasted.size())
            state.SkipWithError("the text was not pasted whole");
        box.setSelStart(middle);
        box.setSelLength(pasted.size());
        box.setSelText(QString());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * pasted.size());
    endRun();
}
BENCHMARK(BM_PasteLarge)->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace
