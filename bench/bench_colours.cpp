// The Colours dialog: OK, which stores the default style and formats the whole
// 10 MiB document with it (up to the editor's next paint), and the formatting
// of the preview's sample words. The settings store is a temporary one.
#include "BenchApp.h"
#include "BenchData.h"

#include "app/Main.h"
#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "appearance/frmColors.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>

namespace {

using namespace benchapp;

QPointer<ColorsDialog> openColors()
{
    QPointer<ColorsDialog> dialog = new ColorsDialog(&currentWindow());
    dialog->Form_Activate();
    return dialog;
}

// Each OK gives the document another style than the last one, so that every
// character's format changes.
void BM_ColorsOkReformat(benchmark::State &state)
{
    useTemporarySettings();
    Main(QString());
    App.CurrentRichTextBox->setText(QString::fromLatin1(benchdata::tenMiBText()));
    PaintWatch paints;
    bool bold = false;
    for (auto _ : state) {
        state.PauseTiming();
        QPointer<ColorsDialog> dialog = openColors();
        bold = !bold;
        dialog->WorkDef.Bold = bold;
        dialog->WorkDef.Color = bold ? 0x800000 : 0;
        paints.watch(App.CurrentRichTextBox->viewport());
        state.ResumeTiming();

        dialog->cmdOK->click();
        paints.waitForPaint();

        state.PauseTiming();
        if (!paints.painted || App.CurrentRichTextBox->SelBold() != bold)
            state.SkipWithError("the document was not formatted");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    endRun();
}
BENCHMARK(BM_ColorsOkReformat)->Unit(benchmark::kMillisecond)->Iterations(6);

void BM_RenderPreview(benchmark::State &state)
{
    useTemporarySettings();
    Main(QString());
    QPointer<ColorsDialog> dialog = openColors();
    for (auto _ : state) {
        dialog->WorkPalette[3].Bold = !dialog->WorkPalette[3].Bold;
        dialog->RenderPreview();
    }
    delete dialog;
    endRun();
}
BENCHMARK(BM_RenderPreview)->Unit(benchmark::kMillisecond);

} // namespace
