// Reading and writing RTF of the shape LibreOffice writes: every paragraph
// starts with \pard\plain and repeats its font, size and language. The full
// file has 57,000 paragraphs and about 10 MB; the smaller sizes show that
// both directions grow linearly with the file.
#include "BenchData.h"

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

namespace {

constexpr int FullParagraphs = benchdata::LibreOfficeParagraphs;

// A document as the control keeps it: plain-text layout, no undo.
std::unique_ptr<QTextDocument> newDocument()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
    document->setUndoRedoEnabled(false);
    return document;
}

void BM_RtfRead(benchmark::State &state)
{
    const QByteArray &rtf = benchdata::libreOfficeShapedRtf(int(state.range(0)));
    for (auto _ : state) {
        auto document = newDocument();
        QTextCursor cursor(document.get());
        insertRtf(cursor, rtf);
        benchmark::DoNotOptimize(document->blockCount());
        state.PauseTiming();
        document.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = double(rtf.size());
}

void BM_RtfWrite(benchmark::State &state)
{
    auto document = newDocument();
    QTextCursor cursor(document.get());
    insertRtf(cursor, benchdata::libreOfficeShapedRtf(int(state.range(0))));
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray rtf = writeRtf(*document, 0, document->characterCount() - 1);
        written = rtf.size();
        benchmark::DoNotOptimize(rtf.constData());
    }
    state.SetBytesProcessed(state.iterations() * written);
    state.counters["rtf_bytes"] = double(written);
}

} // namespace

BENCHMARK(BM_RtfRead)
    ->Arg(FullParagraphs / 4)
    ->Arg(FullParagraphs / 2)
    ->Arg(FullParagraphs)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfWrite)
    ->Arg(FullParagraphs / 4)
    ->Arg(FullParagraphs / 2)
    ->Arg(FullParagraphs)
    ->Unit(benchmark::kMillisecond);
