// Searching the 10 MiB, 160,000-line document in the editor window: Find Next
// for a word that is not there (its question answered), Replace All of
// 100,000 occurrences, and Go To Line. The settings store is a temporary one.
#include "BenchApp.h"
#include "BenchData.h"

#include "app/Main.h"
#include "app/state/ViewToggles.h"
#include "app/state/modMainModule.h"
#include "editing/FindNext.h"
#include "editing/frmFindReplace.h"
#include "editing/frmGoto.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/dialogs/ModalHost.h"
#include "platform/richtext/RichTextBox.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {

using namespace benchapp;

// Answers every message box No (or OK); there is nothing else to answer.
class AnswersNo : public ModalHost
{
public:
    AnswersNo() { setModalHost(this); }
    ~AnswersNo() override { setModalHost(nullptr); }
    int questions = 0;

    int messageBox(const QString &, int buttons, const QString &) override
    {
        ++questions;
        return (buttons & MsgBoxButtonsMask) == vbYesNo ? vbNo : vbOK;
    }
    bool showOpen(CommonDialog &) override { return false; }
    bool showSave(CommonDialog &) override { return false; }
    bool showPrinter(CommonDialog &) override { return false; }
    bool showFont(CommonDialog &) override { return false; }
    bool showColor(CommonDialog &) override { return false; }
    bool showPrintPreview(CommonDialog &, const std::function<void(QPrinter *)> &) override
    {
        return false;
    }
    QAction *popupMenu(QMenu &, const QPoint &) override { return nullptr; }
};

// The editor window with the 10 MiB document, unwrapped: each of its lines
// is one line of the editor.
RichTextBox &editorWithTenMiB(const QString &text = QString::fromLatin1(benchdata::tenMiBText()))
{
    useTemporarySettings();
    Main(QString());
    ToggleWordwrap();
    RichTextBox &box = *App.CurrentRichTextBox;
    box.setText(text);
    return box;
}

void BM_FindNextMiss(benchmark::State &state)
{
    AnswersNo host;
    RichTextBox &box = editorWithTenMiB();
    App.FindText = QStringLiteral("zebra");
    for (auto _ : state) {
        box.setSelStart(0);
        EditFindNext();
    }
    if (host.questions != int(state.iterations()))
        state.SkipWithError("Find Next did not ask once each time");
    endRun();
}
BENCHMARK(BM_FindNextMiss)->Unit(benchmark::kMillisecond);

// The first 100,000 lines start with "zebra ", which becomes "giraffe ".
void BM_ReplaceAll(benchmark::State &state)
{
    QString text = QString::fromLatin1(benchdata::tenMiBText());
    constexpr int Occurrences = 100000;
    qsizetype lineStart = 0;
    for (int i = 0; i < Occurrences; ++i) {
        text.replace(lineStart, 6, QStringLiteral("zebra "));
        lineStart = text.indexOf(QLatin1Char('\n'), lineStart) + 1;
    }
    RichTextBox &box = editorWithTenMiB(text);
    App.FindText = QStringLiteral("zebra");
    App.ReplaceText = QStringLiteral("giraffe");
    EditReplace();
    PaintWatch paints;
    for (auto _ : state) {
        state.PauseTiming();
        box.setText(text);
        box.setSelStart(0);
        paints.watch(box.viewport());
        paints.waitForPaint();
        paints.watch(box.viewport());
        state.ResumeTiming();
        frmFindReplace().cmdReplaceAll->click();
        paints.waitForPaint();
    }
    if (box.textLength() != text.size() + 2 * Occurrences)
        state.SkipWithError("not every occurrence was replaced");
    endRun();
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GoToLine(benchmark::State &state)
{
    RichTextBox &box = editorWithTenMiB();
    box.GetLineFromChar(box.textLength()); // lines are counted once, after loading
    const int lineLength = benchdata::tenMiBText().indexOf('\n') + 1;
    for (auto _ : state) {
        state.PauseTiming();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the last dialog
        box.setSelStart(0);
        EditGoTo();
        frmGoto().txtLineNum->setText(QStringLiteral("100000"));
        state.ResumeTiming();
        frmGoto().cmdGo->click();
    }
    if (box.SelStart() != 99999 * lineLength)
        state.SkipWithError("the caret is not at the start of line 100,000");
    endRun();
}
BENCHMARK(BM_GoToLine)->Unit(benchmark::kMicrosecond);

} // namespace
