// Long lines in the editor window, wrapped and not: a 10 MiB paragraph of
// words and one of base64, with no place to break, opened until the first
// paint, typed in, blinked at and gone through to the end; and Ctrl+End in the 160,000-line
// text with wrapping on, right after it was opened. The settings store is a
// temporary one.
#include "BenchApp.h"
#include "BenchData.h"

#include "app/Main.h"
#include "app/state/ViewToggles.h"
#include "app/state/modMainModule.h"
#include "document/FileCommands.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"

#include <benchmark/benchmark.h>

#include <QApplication>

namespace {

using namespace benchapp;
using benchdata::OneLine;

// A slow open must still be timed to its end, not cut off.
constexpr int PaintLimitMs = 120000;

QString positionPanel() { return App.CurrentStatusBar->Panels(2)->Text(); }

// A started program with path open and painted, wrapping as asked. False
// when it did not open or paint.
bool openAndPaint(const QString &path, bool wrap)
{
    useTemporarySettings();
    Main(QString());
    if (!wrap)
        ToggleWordwrap();
    PaintWatch paints;
    paints.watch(App.CurrentRichTextBox->viewport());
    OpenDocument(path);
    paints.waitForPaint(PaintLimitMs);
    return paints.painted && App.CurrentRichTextBox->textLength() > 0;
}

// Opens the one-line file until the first paint; Arg 1 wraps, 0 does not.
void openOneLine(benchmark::State &state, OneLine kind)
{
    const QString path = benchdata::oneLineFile(kind);
    for (auto _ : state) {
        const bool shown = openAndPaint(path, state.range(0) != 0);
        state.PauseTiming();
        if (!shown)
            state.SkipWithError("the document was not opened and painted");
        state.counters["resident_MiB"] = double(residentMiB());
        endRun();
        state.ResumeTiming();
    }
}

void BM_OpenOneLine(benchmark::State &state) { openOneLine(state, OneLine::Words); }
BENCHMARK(BM_OpenOneLine)
    ->ArgName("wrap")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_OpenOneLineNoSpaces(benchmark::State &state) { openOneLine(state, OneLine::Base64); }
BENCHMARK(BM_OpenOneLineNoSpaces)
    ->ArgName("wrap")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The editor with the line of words open and painted, wrapped when Arg 1
// says so, its caret at the start or in the middle; null (the benchmark
// skipped) when it did not open.
RichTextBox *editorWithOneLine(benchmark::State &state, bool caretInTheMiddle)
{
    if (!openAndPaint(benchdata::oneLineFile(OneLine::Words), state.range(0) != 0)) {
        state.SkipWithError("the document was not opened and painted");
        endRun();
        return nullptr;
    }
    RichTextBox *box = App.CurrentRichTextBox;
    box->setSelStart(caretInTheMiddle ? box->textLength() / 2 : 0);
    QApplication::processEvents();
    return box;
}

// A character typed in the middle of the line, and the repaint it causes.
void BM_KeystrokeOneLine(benchmark::State &state)
{
    RichTextBox *editor = editorWithOneLine(state, true);
    if (!editor)
        return;
    RichTextBox &box = *editor;
    for (auto _ : state) {
        pressKey(box, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        box.viewport()->repaint();
    }
    endRun();
}
BENCHMARK(BM_KeystrokeOneLine)
    ->ArgName("wrap")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// What a blink of the caret repaints: its rectangle.
void BM_CaretBlinkOneLine(benchmark::State &state)
{
    RichTextBox *editor = editorWithOneLine(state, true);
    if (!editor)
        return;
    RichTextBox &box = *editor;
    for (auto _ : state)
        box.viewport()->repaint(box.cursorRect().adjusted(-1, -1, 1, 1));
    endRun();
}
BENCHMARK(BM_CaretBlinkOneLine)
    ->ArgName("wrap")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Ctrl+End until the position panel shows where the caret went; Ctrl+Home
// between the runs is not timed.
void ctrlEnd(benchmark::State &state, RichTextBox &box)
{
    const QString before = positionPanel();
    pressKey(box, Qt::Key_End, Qt::ControlModifier);
    if (box.SelStart() != box.textLength() || positionPanel() == before)
        state.SkipWithError("the caret or the position panel did not go to the end");
}

void BM_EndOfOneLine(benchmark::State &state)
{
    RichTextBox *editor = editorWithOneLine(state, false);
    if (!editor)
        return;
    RichTextBox &box = *editor;
    for (auto _ : state) {
        ctrlEnd(state, box);
        state.PauseTiming();
        state.SetLabel(positionPanel().trimmed().toStdString());
        pressKey(box, Qt::Key_Home, Qt::ControlModifier);
        state.ResumeTiming();
    }
    endRun();
}
BENCHMARK(BM_EndOfOneLine)
    ->ArgName("wrap")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Right after the 160,000-line text is opened with wrapping on.
void BM_CtrlEndWrapped(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const bool shown = openAndPaint(benchdata::tenMiBTextFile(), true);
        if (!shown)
            state.SkipWithError("the document was not opened and painted");
        state.ResumeTiming();
        ctrlEnd(state, *App.CurrentRichTextBox);
        state.PauseTiming();
        state.SetLabel(positionPanel().trimmed().toStdString());
        endRun();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CtrlEndWrapped)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
