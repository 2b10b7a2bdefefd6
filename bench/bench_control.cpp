// The rich-text control on a 10 MiB, 160,000-line document in an 800 x 600
// window, each figure including the repaint; the same work on Qt's QTextEdit
// and QPlainTextEdit for comparison.
#include "BenchApp.h"
#include "BenchData.h"

#include "platform/richtext/RichTextBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextEdit>

#include <memory>

namespace {

using namespace benchapp;

template<typename Editor>
std::unique_ptr<Editor> shownEditor()
{
    auto editor = std::make_unique<Editor>();
    editor->resize(800, 600);
    editor->show();
    QApplication::processEvents();
    return editor;
}

void paint(QAbstractScrollArea &editor) { editor.viewport()->repaint(); }

// The first `lines` lines of the 10 MiB text.
QString textOfLines(int lines)
{
    const QByteArray &all = benchdata::tenMiBText();
    qsizetype end = 0;
    for (int i = 0; i < lines && end >= 0; ++i)
        end = all.indexOf('\n', end) + 1;
    return QString::fromUtf8(all.left(end > 0 ? end : all.size()));
}

QString qtText(const QString &crlf)
{
    QString text = crlf;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

// ---- loading -----------------------------------------------------------

// Into an empty control, as a document is opened.
void BM_LoadPlainText(benchmark::State &state)
{
    const QString path = benchdata::tenMiBTextFile();
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = shownEditor<RichTextBox>();
        state.ResumeTiming();
        editor->LoadFile(path, RichTextBox::PlainText);
        paint(*editor);
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadPlainText)->Unit(benchmark::kMillisecond)->Iterations(5);

template<typename Editor>
void BM_LoadPlainText_Qt(benchmark::State &state)
{
    const QString path = benchdata::tenMiBTextFile();
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = shownEditor<Editor>();
        state.ResumeTiming();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        editor->setPlainText(qtText(QString::fromUtf8(file.readAll())));
        paint(*editor);
        state.PauseTiming();
        editor.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadPlainText_Qt<QPlainTextEdit>)
    ->Name("BM_LoadPlainText/QPlainTextEdit")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_LoadPlainText_Qt<QTextEdit>)
    ->Name("BM_LoadPlainText/QTextEdit")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// ---- typing in the middle ----------------------------------------------

// Argument: the document's size in lines (16,000 is about 1 MiB).
void BM_KeystrokeMiddle(benchmark::State &state)
{
    auto editor = shownEditor<RichTextBox>();
    editor->setText(textOfLines(int(state.range(0))));
    editor->setSelStart(editor->textLength() / 2);
    editor->setFocus();
    paint(*editor);
    for (auto _ : state)
        pressKey(*editor, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
}
BENCHMARK(BM_KeystrokeMiddle)->Arg(16000)->Arg(160000)->Unit(benchmark::kMicrosecond);

template<typename Editor>
void BM_KeystrokeMiddle_Qt(benchmark::State &state)
{
    auto editor = shownEditor<Editor>();
    editor->setPlainText(qtText(textOfLines(int(state.range(0)))));
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(editor->document()->characterCount() / 2);
    editor->setTextCursor(cursor);
    paint(*editor);
    for (auto _ : state)
        pressKey(*editor, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
}
BENCHMARK(BM_KeystrokeMiddle_Qt<QPlainTextEdit>)
    ->Name("BM_KeystrokeMiddle/QPlainTextEdit")
    ->Arg(16000)
    ->Arg(160000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeystrokeMiddle_Qt<QTextEdit>)
    ->Name("BM_KeystrokeMiddle/QTextEdit")
    ->Arg(16000)
    ->Arg(160000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);

// ---- formatting everything ----------------------------------------------

void BM_FormatWholeText(benchmark::State &state)
{
    auto editor = shownEditor<RichTextBox>();
    editor->setText(textOfLines(160000));
    paint(*editor);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        editor->setSelStart(0);
        editor->setSelLength(editor->textLength());
        editor->setSelBold(flip);
        editor->setSelColor(flip ? 0x0000FF : 0xFF0000);
        editor->setSelFontName(flip ? QStringLiteral("DejaVu Serif")
                                    : QStringLiteral("DejaVu Sans Mono"));
        editor->setSelFontSize(flip ? 11 : 10);
        paint(*editor);
    }
}
BENCHMARK(BM_FormatWholeText)->Unit(benchmark::kMillisecond)->Iterations(6);

template<typename Editor>
void BM_FormatWholeText_Qt(benchmark::State &state)
{
    auto editor = shownEditor<Editor>();
    editor->setPlainText(qtText(textOfLines(160000)));
    paint(*editor);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        QTextCursor all(editor->document());
        all.select(QTextCursor::Document);
        QTextCharFormat format;
        format.setFontWeight(flip ? QFont::Bold : QFont::Normal);
        all.mergeCharFormat(format);
        format = QTextCharFormat();
        format.setForeground(QColor(flip ? Qt::red : Qt::blue));
        all.mergeCharFormat(format);
        format = QTextCharFormat();
        format.setFontFamilies(
            {flip ? QStringLiteral("DejaVu Serif") : QStringLiteral("DejaVu Sans Mono")});
        all.mergeCharFormat(format);
        format = QTextCharFormat();
        format.setFontPointSize(flip ? 11 : 10);
        all.mergeCharFormat(format);
        paint(*editor);
    }
}
BENCHMARK(BM_FormatWholeText_Qt<QPlainTextEdit>)
    ->Name("BM_FormatWholeText/QPlainTextEdit")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);
BENCHMARK(BM_FormatWholeText_Qt<QTextEdit>)
    ->Name("BM_FormatWholeText/QTextEdit")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// ---- lines, positions, searching ----------------------------------------

// The editor loaded once for the benchmarks that share it. It is deleted with
// the application: a widget destroyed after QApplication, at exit, crashes.
RichTextBox *sharedLoadedEditor = nullptr;

void deleteSharedLoadedEditor()
{
    delete sharedLoadedEditor;
    sharedLoadedEditor = nullptr;
}

RichTextBox &loadedEditor()
{
    if (!sharedLoadedEditor) {
        sharedLoadedEditor = shownEditor<RichTextBox>().release();
        sharedLoadedEditor->setText(textOfLines(160000));
        paint(*sharedLoadedEditor);
        qAddPostRoutine(deleteSharedLoadedEditor);
    }
    return *sharedLoadedEditor;
}

void BM_GetLineFromChar(benchmark::State &state)
{
    RichTextBox &editor = loadedEditor();
    const int length = editor.textLength();
    editor.GetLineFromChar(length); // the first call counts the lines once
    QRandomGenerator random(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.GetLineFromChar(int(random.bounded(length))));
}
BENCHMARK(BM_GetLineFromChar)->Unit(benchmark::kMicrosecond);

// The first line number asked for at the end of a freshly loaded document:
// every paragraph is counted once. Argument: the window's width; at 400
// pixels most lines wrap.
void BM_FirstLineCountAfterLoad(benchmark::State &state)
{
    auto editor = shownEditor<RichTextBox>();
    editor->resize(int(state.range(0)), 600);
    const QString text = textOfLines(160000);
    for (auto _ : state) {
        state.PauseTiming();
        editor->setText(text);
        state.ResumeTiming();
        benchmark::DoNotOptimize(editor->GetLineFromChar(editor->textLength()));
    }
}
BENCHMARK(BM_FirstLineCountAfterLoad)
    ->Arg(800)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_PositionMapping(benchmark::State &state)
{
    RichTextBox &editor = loadedEditor();
    const int length = editor.textLength();
    QRandomGenerator random(11);
    for (auto _ : state) {
        const int position = int(random.bounded(length));
        benchmark::DoNotOptimize(editor.toPosition(editor.toDocumentPosition(position)));
    }
}
BENCHMARK(BM_PositionMapping)->Unit(benchmark::kMicrosecond);

void BM_FindMiss(benchmark::State &state)
{
    RichTextBox &editor = loadedEditor();
    editor.setSelStart(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.Find(QStringLiteral("zebra"), -1, -1, int(state.range(0))));
}
BENCHMARK(BM_FindMiss)
    ->Arg(0)
    ->Arg(RichTextBox::rtfMatchCase)
    ->Arg(RichTextBox::rtfWholeWord)
    ->Unit(benchmark::kMillisecond);

// ---- memory -------------------------------------------------------------

void BM_MemoryLoadedAndShown(benchmark::State &state)
{
    const QString path = benchdata::tenMiBTextFile();
    for (auto _ : state) {
        auto editor = shownEditor<RichTextBox>();
        editor->LoadFile(path, RichTextBox::PlainText);
        paint(*editor);
        state.counters["resident_MiB"] = double(residentMiB());
    }
}
BENCHMARK(BM_MemoryLoadedAndShown)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
