// Benchmarks run headless by default, on an offscreen display. With
// --write-data DIR the program writes the benchmarks' generated files into DIR
// instead, for measures taken outside it (open-to-idle.sh).
#include "BenchData.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>

namespace {

int writeData(const QString &folder)
{
    const QDir dir(folder);
    bool written = dir.mkpath(QStringLiteral("."));
    const std::pair<QString, QString> files[] = {
        {benchdata::tenMiBTextFile(), QStringLiteral("160000-lines.txt")},
        {benchdata::oneLineFile(benchdata::OneLine::Words), QStringLiteral("one-line-words.txt")},
        {benchdata::oneLineFile(benchdata::OneLine::Base64), QStringLiteral("one-line-base64.txt")},
    };
    for (const auto &[from, name] : files) {
        QFile::remove(dir.filePath(name));
        written = QFile::copy(from, dir.filePath(name)) && written;
    }
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--write-data")
        return writeData(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
