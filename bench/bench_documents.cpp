// Opening and saving documents as the file commands do it, in the running
// program: the 10 MiB, 160,000-line text through Buffer and the default style
// until the first screen is painted, a LibreOffice-shaped RTF of 10.3 MB (the
// most paragraphs within the 10 MiB limit), and saving each of them back.
#include "BenchApp.h"
#include "BenchData.h"

#include "app/Main.h"
#include "app/state/modMainModule.h"
#include "document/FileCommands.h"
#include "document/FileSizeLimit.h"
#include "platform/richtext/RichTextBox.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using namespace benchapp;

// 55,000 paragraphs make 10.3 MB; the full 57,000 would be refused as too
// large.
constexpr int RtfParagraphs = 55000;

// A copy of source in a folder of the benchmark's own, which saving may
// overwrite.
QString ownCopy(const QTemporaryDir &dir, const QString &source)
{
    const QString path = dir.filePath(QFileInfo(source).fileName());
    QFile::remove(path);
    QFile::copy(source, path);
    return path;
}

// Opens path (argument of the benchmark) in a started program, timing each
// open until the editor has painted its first screen. Between opens the
// document is emptied with New, outside the timing.
void openUntilPainted(benchmark::State &state, const QString &path)
{
    if (QFileInfo(path).size() > MaxFileSize) {
        state.SkipWithError("the file is larger than the program opens");
        return;
    }
    useTemporarySettings();
    Main(QString());
    PaintWatch paints;
    for (auto _ : state) {
        paints.watch(App.CurrentRichTextBox->viewport());
        OpenDocument(path);
        paints.waitForPaint();
        state.PauseTiming();
        if (!paints.painted || !App.IsSaved || App.CurrentRichTextBox->textLength() == 0)
            state.SkipWithError("the document was not opened and painted");
        FileNew();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    endRun();
}

void saveRepeatedly(benchmark::State &state, const QString &source)
{
    useTemporarySettings();
    QTemporaryDir dir;
    const QString path = ownCopy(dir, source);
    Main(QString());
    OpenDocument(path);
    if (App.CurrentRichTextBox->textLength() == 0)
        state.SkipWithError("the document was not opened");
    for (auto _ : state) {
        App.IsSaved = false;
        FileSave();
        if (!App.IsSaved)
            state.SkipWithError("the document was not saved");
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
    endRun();
}

void BM_OpenTxt(benchmark::State &state) { openUntilPainted(state, benchdata::tenMiBTextFile()); }
BENCHMARK(BM_OpenTxt)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_OpenRtf(benchmark::State &state)
{
    openUntilPainted(state, benchdata::libreOfficeRtfFile(RtfParagraphs));
}
BENCHMARK(BM_OpenRtf)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_SaveTxt(benchmark::State &state) { saveRepeatedly(state, benchdata::tenMiBTextFile()); }
BENCHMARK(BM_SaveTxt)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_SaveRtf(benchmark::State &state)
{
    saveRepeatedly(state, benchdata::libreOfficeRtfFile(RtfParagraphs));
}
BENCHMARK(BM_SaveRtf)->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace
