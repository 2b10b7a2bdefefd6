#pragma once

// A print queue of the CUPS-PDF virtual printer for tests, run as root: the
// spooler is started when none answers (and stopped again at the end), and a
// queue of its own writes each job as a PDF file into a temporary folder.
// Everything set up is taken down again when the queue goes.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <unistd.h>

namespace printtest {

class CupsPdfQueue
{
public:
    CupsPdfQueue()
        : m_name(QStringLiteral("scrivlet_test_%1").arg(QCoreApplication::applicationPid()))
    {
    }
    ~CupsPdfQueue() { takeDown(); }
    CupsPdfQueue(const CupsPdfQueue &) = delete;
    CupsPdfQueue &operator=(const CupsPdfQueue &) = delete;

    // Sets the queue up; false with the reason when it cannot be had here.
    bool setUp(QString *why)
    {
        if (geteuid() != 0)
            return fail(why, QStringLiteral("the tests do not run as root"));
        if (!QFile::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
            return fail(why, QStringLiteral("CUPS-PDF (printer-driver-cups-pdf) is not installed"));
        if (!m_output.isValid())
            return fail(why, QStringLiteral("no temporary folder"));
        if (!schedulerRuns()) {
            m_spooler.start(QStringLiteral("/usr/sbin/cupsd"), {QStringLiteral("-f")});
            if (!m_spooler.waitForStarted(10000))
                return fail(why, QStringLiteral("cupsd did not start"));
            if (!waitFor([this] { return schedulerRuns(); }, 30000))
                return fail(why, QStringLiteral("cupsd did not answer"));
        }
        // A cups-pdf:/NAME queue reads cups-pdf-NAME.conf: its files go to the
        // temporary folder, each named with its job number.
        QFile config(configPath());
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(why, QStringLiteral("cannot write ") + configPath());
        config.write(QStringLiteral("Out %1\nLabel 1\n").arg(m_output.path()).toUtf8());
        config.close();
        m_configWritten = true;
        if (!run(QStringLiteral("lpadmin"),
                 {QStringLiteral("-p"), m_name, QStringLiteral("-v"),
                  QStringLiteral("cups-pdf:/") + m_name, QStringLiteral("-m"),
                  QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"), QStringLiteral("-E"),
                  // PostScript made by Cairo keeps the text readable in the PDF.
                  QStringLiteral("-o"), QStringLiteral("pdftops-renderer-default=pdftocairo")}))
            return fail(why, QStringLiteral("lpadmin could not add the queue"));
        m_queueAdded = true;
        return true;
    }

    QString name() const { return m_name; }

    // The PDF files the queue has written, once count of them are there and
    // the queue is idle (within a minute); sorted by job.
    QStringList waitForPdfs(int count)
    {
        QStringList files;
        waitFor(
            [&] {
                files = pdfFiles();
                return files.size() >= count && jobsPending() == 0;
            },
            60000);
        return files;
    }

    QStringList pdfFiles() const
    {
        QStringList files;
        const QDir dir(m_output.path());
        for (const QString &name : dir.entryList({QStringLiteral("*.pdf")}, QDir::Files))
            files << dir.filePath(name);
        std::sort(files.begin(), files.end(),
                  [](const QString &a, const QString &b) { return jobNumber(a) < jobNumber(b); });
        return files;
    }

    // Removes the files written so far.
    void clear()
    {
        for (const QString &file : pdfFiles())
            QFile::remove(file);
    }

private:
    static int jobNumber(const QString &path)
    {
        static const QRegularExpression job(QStringLiteral("job_(\\d+)"));
        return job.match(path).captured(1).toInt();
    }

    static bool fail(QString *why, const QString &reason)
    {
        *why = reason;
        return false;
    }

    static bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(30000))
            return false;
        if (output)
            *output = QString::fromLocal8Bit(process.readAllStandardOutput());
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    template<typename Ready>
    static bool waitFor(Ready ready, int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (!ready()) {
            if (timer.elapsed() > milliseconds)
                return false;
            QThread::msleep(200);
        }
        return true;
    }

    static bool schedulerRuns()
    {
        QString output;
        return run(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &output)
            && output.contains(QLatin1String("is running"));
    }

    int jobsPending() const
    {
        QString output;
        run(QStringLiteral("lpstat"), {QStringLiteral("-o"), m_name}, &output);
        return int(output.count(QLatin1Char('\n')));
    }

    QString configPath() const { return QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(m_name); }

    void takeDown()
    {
        if (m_queueAdded)
            run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), m_name});
        if (m_configWritten)
            QFile::remove(configPath());
        if (m_spooler.state() != QProcess::NotRunning) {
            m_spooler.terminate();
            if (!m_spooler.waitForFinished(10000))
                m_spooler.kill();
            m_spooler.waitForFinished(5000);
        }
    }

    QString m_name;
    QTemporaryDir m_output;
    QProcess m_spooler;
    bool m_configWritten = false;
    bool m_queueAdded = false;
};

} // namespace printtest
