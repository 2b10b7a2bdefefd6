// Reading and writing RTF of the shape LibreOffice writes: every paragraph
// starts with \pard\plain and repeats its font, size and language. The full
// file has 57,000 paragraphs and about 10 MB; the smaller sizes show that
// both directions grow linearly with the file.
#include "BenchData.h"

#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QPlainTextDocumentLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <map>
#include <memory>

namespace {

constexpr int FullParagraphs = 57000;

QByteArray libreOfficeShapedRtf(int paragraphs)
{
    QByteArray rtf =
        "{\\rtf1\\ansi\\deff4\\adeflang1025\r\n"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
        "{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\fmodern\\fprq1\\fcharset0 Liberation Mono{\\*\\falt Courier New};}"
        "{\\f4\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt Times New Roman};}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\r\n"
        "{\\stylesheet{\\s0\\snext0\\widctlpar\\ltrpar\\cf0\\kerning1\\dbch\\af5\\langfe2052\\dbch\\af6\\afs24"
        "\\alang1081\\loch\\f4\\hich\\af4\\fs24\\lang1033 Normal;}}\r\n"
        "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
        "{\\info{\\creatim\\yr2024\\mo1\\dy1\\hr0\\min0}{\\revtim\\yr2024\\mo1\\dy1\\hr0\\min0}}\r\n"
        "\\deftab709\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134\\margb1134\\sectd\\sbknone\\pgndec\r\n";
    const QList<QByteArray> lines = benchdata::tenMiBText().split('\n');
    rtf.reserve(paragraphs * 185 + rtf.size());
    for (int i = 0; i < paragraphs; ++i) {
        rtf += "\\pard\\plain \\s0\\widctlpar\\ltrpar\\cf0\\kerning1\\langfe2052"
               "\\alang1081\\loch\\f3\\hich\\af3\\fs20\\lang1033{\\rtlch \\ltrch\\loch ";
        rtf += lines.at(i % lines.size()).trimmed();
        rtf += "}\r\n\\par ";
    }
    rtf += "}";
    return rtf;
}

const QByteArray &rtfOf(int paragraphs)
{
    static std::map<int, QByteArray> cache;
    auto it = cache.find(paragraphs);
    if (it == cache.end())
        it = cache.emplace(paragraphs, libreOfficeShapedRtf(paragraphs)).first;
    return it->second;
}

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
    const QByteArray &rtf = rtfOf(int(state.range(0)));
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
    insertRtf(cursor, rtfOf(int(state.range(0))));
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

BENCHMARK(BM_RtfRead)->Arg(FullParagraphs / 4)->Arg(FullParagraphs / 2)->Arg(FullParagraphs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfWrite)->Arg(FullParagraphs / 4)->Arg(FullParagraphs / 2)->Arg(FullParagraphs)->Unit(benchmark::kMillisecond);
