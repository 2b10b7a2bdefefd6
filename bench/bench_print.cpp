// Printing as the Print command does it once its dialog is answered: the print
// copy composed in Buffer and printed to a PDF file, for a formatted document
// of about a hundred pages, and for one page selected in the 10 MiB text.
#include "BenchApp.h"
#include "BenchData.h"

#include "app/Main.h"
#include "app/state/modMainModule.h"
#include "document/FileCommands.h"
#include "document/PrintCopy.h"
#include "editor/BufferForm.h"
#include "platform/richtext/RichTextBox.h"

#include <benchmark/benchmark.h>

#include <QPrinter>
#include <QTemporaryDir>

namespace {

using namespace benchapp;

// LibreOffice-shaped paragraphs of one line each that fill about 100 pages.
constexpr int HundredPagesOfParagraphs = 5000;
// Lines of the 10 MiB text that fill about one page.
constexpr int OnePageOfLines = 45;

void printToPdf(benchmark::State &state, const QString &document, PrintedPart part,
                int selectedLines)
{
    useTemporarySettings();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("printed.pdf")));
    Main(QString());
    OpenDocument(document);
    RichTextBox &editor = *App.CurrentRichTextBox;
    if (editor.textLength() == 0)
        state.SkipWithError("the document was not opened");
    if (selectedLines > 0) {
        const QString text = editor.Text();
        const int start = text.indexOf(QLatin1String("\r\n"), text.size() / 2) + 2;
        int end = start;
        for (int i = 0; i < selectedLines; ++i)
            end = text.indexOf(QLatin1String("\r\n"), end) + 2;
        editor.setSelStart(start);
        editor.setSelLength(end - start);
    }
    RichTextBox &buffer = *frmBuffer().BufferBox();
    for (auto _ : state) {
        composePrintCopy(buffer, editor, part);
        buffer.SelPrint(&printer);
        buffer.setText(QString());
    }
    endRun();
}

void BM_PrintPdf(benchmark::State &state)
{
    printToPdf(state, benchdata::libreOfficeRtfFile(HundredPagesOfParagraphs),
               PrintedPart::WholeDocument, 0);
}
BENCHMARK(BM_PrintPdf)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_PrintSelectionPdf(benchmark::State &state)
{
    printToPdf(state, benchdata::tenMiBTextFile(), PrintedPart::SelectionOnly, OnePageOfLines);
}
BENCHMARK(BM_PrintSelectionPdf)->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace
