// The application shell: start-up to the first painted window, a switch of
// window mode with a 10 MiB document, and the caret-position update on a 10 MiB
// document. The settings store is a temporary one.
#include "BenchApp.h"
#include "BenchData.h"

#include "app/Main.h"
#include "app/WindowModes.h"
#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "editor/EditorForm.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>

namespace {

using namespace benchapp;

QString oneLineText()
{
    QString text = QString::fromLatin1(benchdata::tenMiBText());
    text.replace(QLatin1String("\r\n"), QLatin1String("  "));
    return text;
}

void BM_StartupToFirstPaint(benchmark::State &state)
{
    useTemporarySettings();
    PaintWatch paints;
    for (auto _ : state) {
        Main(QString());
        paints.watch(App.CurrentRichTextBox->viewport());
        paints.waitForPaint();
        state.PauseTiming();
        if (!paints.painted)
            state.SkipWithError("the window was not painted");
        endRun();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_SwitchWindowMode(benchmark::State &state)
{
    useTemporarySettings();
    Main(QString());
    App.CurrentRichTextBox->setText(QString::fromLatin1(benchdata::tenMiBText()));
    PaintWatch paints;
    for (auto _ : state) {
        if (App.WindowMode == 0)
            ShowSmallWindow();
        else
            ShowNormalWindow();
        paints.watch(App.CurrentRichTextBox->viewport());
        paints.waitForPaint();
    }
    if (App.CurrentRichTextBox->textLength() != benchdata::tenMiBText().size())
        state.SkipWithError("the document did not cross whole");
    endRun();
}
BENCHMARK(BM_SwitchWindowMode)->Unit(benchmark::kMillisecond)->Iterations(6);

// Argument 0: the end of a one-line 10 MiB text; 1: the middle of the
// 160,000-line one. Each update comes from another line, so it takes the
// longer way that finds the start of the line.
void BM_CaretUpdate(benchmark::State &state)
{
    useTemporarySettings();
    Main(QString());
    RichTextBox &box = *App.CurrentRichTextBox;
    const bool oneLine = state.range(0) == 0;
    box.setText(oneLine ? oneLineText() : QString::fromLatin1(benchdata::tenMiBText()));
    box.setSelStart(oneLine ? box.textLength() : box.textLength() / 2);
    EditorForm &form = *App.CurrentForm;
    for (auto _ : state) {
        form.CurrentLine = 0;
        form.UpdateCaretPosition();
    }
    state.SetLabel(oneLine ? "end of one line" : "middle of 160,000 lines");
    endRun();
}
BENCHMARK(BM_CaretUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
