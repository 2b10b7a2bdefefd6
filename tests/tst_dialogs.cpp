#include "TestEnvironment.h"

#include "ModalDriver.h"
#include "ScriptedModalHost.h"

#include "platform/RuntimeError.h"
#include "platform/dialogs/CommonDialog.h"
#include "platform/dialogs/DialogChoices.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/dialogs/ModalHost.h"

#include <algorithm>

#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

const QString FileFilter = QStringLiteral(
    "Text Documents (*.txt)|*.txt|Rich Text Documents (*.rtf)|*.rtf|All Files|*.*");
constexpr long FileFlags = 528390; // explorer, must exist, hide read-only, overwrite prompt

// The error number a call raises, or 0.
template<typename F>
int raisedNumber(F call)
{
    try {
        call();
    } catch (const RuntimeError &error) {
        return error.Number();
    }
    return 0;
}

void acceptFileDialogWith(QWidget *front, const QString &name)
{
    auto *dialog = qobject_cast<QFileDialog *>(front);
    QVERIFY2(dialog, front->metaObject()->className());
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(name);
    static_cast<QDialog *>(dialog)->accept();
}

void clickMessageBoxButton(QWidget *front, QMessageBox::StandardButton which)
{
    auto *box = qobject_cast<QMessageBox *>(front);
    QVERIFY2(box, front->metaObject()->className());
    QVERIFY(box->button(which));
    box->button(which)->click();
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The dialogs Qt draws itself, which a test can reach and drive.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QCoreApplication::setApplicationName(QStringLiteral("Scrivlet"));
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Scrivlet"));
    }

    // --- The scripted host ---

    void scriptedMessageBoxRecordsTheQuestion_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("answer");
        QTest::newRow("save question")
            << QStringLiteral("Save the changes to Untitled before continuing?")
            << int(vbYesNoCancel + vbInformation) << QStringLiteral("Save Changes?") << int(vbNo);
        QTest::newRow("unknown error")
            << QStringLiteral("An Unknown Error occured: 53\r\nClick 'OK' to close.")
            << int(vbOKCancel + vbCritical) << QStringLiteral("Unknown Error") << int(vbCancel);
        QTest::newRow("plain OK") << QStringLiteral("Done") << int(vbOKOnly) << QString()
                                  << int(vbOK);
    }
    void scriptedMessageBoxRecordsTheQuestion()
    {
        QFETCH(QString, prompt);
        QFETCH(int, buttons);
        QFETCH(QString, title);
        QFETCH(int, answer);
        ScriptedModalHost host;
        host.answerMessageBox(answer);
        QCOMPARE(MsgBox(prompt, buttons, title), answer);
        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(host.messageBoxes().first().prompt, prompt);
        QCOMPARE(host.messageBoxes().first().buttons, buttons);
        QCOMPARE(host.messageBoxes().first().title, title);
        QCOMPARE(host.unusedAnswers(), 0);
        QVERIFY(host.errors().isEmpty());
    }

    void scriptedHostFailsUnscriptedQuestions()
    {
        ScriptedModalHost host;
        QEXPECT_FAIL("", "a message box without a scripted answer fails the test", Continue);
        QCOMPARE(MsgBox(QStringLiteral("Unexpected?"), vbYesNoCancel),
                 int(vbCancel)); // answered as Esc
        QCOMPARE(host.errors().size(), 1);
        QVERIFY(host.errors().first().contains(QStringLiteral("Unexpected?")));

        host.answerMessageBox(vbYes);
        QEXPECT_FAIL("", "an answer the box has no button for fails the test", Continue);
        QCOMPARE(MsgBox(QStringLiteral("Sure?"), vbOKCancel), int(vbCancel));
        QCOMPARE(host.errors().size(), 2);

        CommonDialog dialog;
        QEXPECT_FAIL("", "a dialog without a scripted answer fails the test", Continue);
        dialog.ShowOpen();
        QCOMPARE(host.errors().size(), 3);
        QCOMPARE(host.dialogs().size(), 1);
        QCOMPARE(host.dialogs().first().kind, ScriptedModalHost::Open);
    }

    void scriptedHostInstallsItself()
    {
        ModalHost *real = &modalHost();
        {
            ScriptedModalHost host;
            QCOMPARE(&modalHost(), static_cast<ModalHost *>(&host));
            host.answerMessageBox(vbOK);
            host.cancelColor();
            QCOMPARE(host.unusedAnswers(), 2);
            QCOMPARE(MsgBox(QStringLiteral("x")), int(vbOK));
            QCOMPARE(host.unusedAnswers(), 1);
        }
        QCOMPARE(&modalHost(), real);
    }

    void scriptedPopupChoosesByName()
    {
        ScriptedModalHost host;
        QMenu popup;
        popup.setObjectName(QStringLiteral("mnuHiddenMenuset"));
        QAction *copy = popup.addAction(QStringLiteral("Copy"));
        copy->setObjectName(QStringLiteral("mnuHidCopy"));
        QMenu *edit = popup.addMenu(QStringLiteral("Edit"));
        edit->setObjectName(QStringLiteral("mnuHidEdit"));
        QAction *timeDate = edit->addAction(QStringLiteral("Time/Date"));
        timeDate->setObjectName(QStringLiteral("mnuHidTimeDate"));
        QSignalSpy copyTriggered(copy, &QAction::triggered);
        QSignalSpy timeDateTriggered(timeDate, &QAction::triggered);
        QSignalSpy popupTriggered(&popup, &QMenu::triggered);
        QSignalSpy editShown(edit, &QMenu::aboutToShow);
        QSignalSpy popupShown(&popup, &QMenu::aboutToShow);

        host.choosePopupItem(QStringLiteral("mnuHidTimeDate"));
        QCOMPARE(host.popupMenu(popup, QPoint(10, 20)), timeDate);
        QCOMPARE(timeDateTriggered.count(), 1);
        QCOMPARE(popupTriggered.count(), 1);
        QCOMPARE(editShown.count(), 1);
        QCOMPARE(host.popups().last().menuName, QStringLiteral("mnuHiddenMenuset"));
        QCOMPARE(host.popups().last().globalPos, QPoint(10, 20));
        QCOMPARE(host.popups().last().chosen, QStringLiteral("mnuHidTimeDate"));

        // A disabled item cannot be chosen; an empty name closes the popup.
        copy->setEnabled(false);
        host.choosePopupItem(QStringLiteral("mnuHidCopy"));
        QCOMPARE(host.popupMenu(popup, QPoint()), static_cast<QAction *>(nullptr));
        host.choosePopupItem(QString());
        QCOMPARE(host.popupMenu(popup, QPoint()), static_cast<QAction *>(nullptr));
        QCOMPARE(copyTriggered.count(), 0);
        QCOMPARE(editShown.count(), 1);
        QCOMPARE(popupShown.count(), 3);

        host.choosePopupItem(QStringLiteral("mnuNoSuchItem"));
        QEXPECT_FAIL("", "choosing an item the popup does not have fails the test", Continue);
        QCOMPARE(host.popupMenu(popup, QPoint()), static_cast<QAction *>(nullptr));
        QCOMPARE(host.errors().size(), 1);
    }

    // --- CommonDialog through the scripted host ---

    void cancelRaisesOnlyWithCancelError_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("cancelError");
        for (int kind = ScriptedModalHost::Open; kind <= ScriptedModalHost::Color; ++kind) {
            QTest::addRow("kind %d, CancelError", kind) << kind << true;
            QTest::addRow("kind %d, no CancelError", kind) << kind << false;
        }
    }
    void cancelRaisesOnlyWithCancelError()
    {
        QFETCH(int, kind);
        QFETCH(bool, cancelError);
        ScriptedModalHost host;
        CommonDialog dialog;
        dialog.CancelError = cancelError;
        dialog.Filename = QStringLiteral("before.txt");
        dialog.Color = 0x112233;
        dialog.FontName = QStringLiteral("Before");
        std::function<void()> show;
        switch (kind) {
        case ScriptedModalHost::Open:
            host.cancelFileDialog();
            show = [&] { dialog.ShowOpen(); };
            break;
        case ScriptedModalHost::Save:
            host.cancelFileDialog();
            show = [&] { dialog.ShowSave(); };
            break;
        case ScriptedModalHost::Print:
            host.cancelPrint();
            show = [&] { dialog.ShowPrinter(); };
            break;
        case ScriptedModalHost::PrinterSetup:
            host.cancelPrinterSetup();
            dialog.Flags = cdlPDPrintSetup;
            show = [&] { dialog.ShowPrinter(); };
            break;
        case ScriptedModalHost::Font:
            host.cancelFont();
            show = [&] { dialog.ShowFont(); };
            break;
        default:
            host.cancelColor();
            show = [&] { dialog.ShowColor(); };
            break;
        }
        QCOMPARE(raisedNumber(show), cancelError ? int(ErrCancel) : 0);
        QCOMPARE(host.dialogs().size(), 1);
        QCOMPARE(int(host.dialogs().first().kind), kind);
        QCOMPARE(dialog.Filename, QStringLiteral("before.txt"));
        QCOMPARE(dialog.Color, qint32(0x112233));
        QCOMPARE(dialog.FontName, QStringLiteral("Before"));
        QVERIFY(host.errors().isEmpty());
    }

    void chosenFileSetsFilenameAndFileTitle_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("defaultExt");
        QTest::addColumn<QString>("expectedName");
        QTest::newRow("with extension") << QStringLiteral("/docs/sub/letter.rtf")
                                        << QStringLiteral(".txt") << QStringLiteral("letter.rtf");
        QTest::newRow("default extension added")
            << QStringLiteral("/docs/sub/notes") << QStringLiteral(".txt")
            << QStringLiteral("notes.txt");
        QTest::newRow("default extension without dot")
            << QStringLiteral("/docs/notes") << QStringLiteral("txt")
            << QStringLiteral("notes.txt");
        QTest::newRow("no default extension")
            << QStringLiteral("/docs/README") << QString() << QStringLiteral("README");
        QTest::newRow("dotted folder, no extension")
            << QStringLiteral("/my.docs/notes") << QStringLiteral(".txt")
            << QStringLiteral("notes.txt");
    }
    void chosenFileSetsFilenameAndFileTitle()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, defaultExt);
        QFETCH(QString, expectedName);
        ScriptedModalHost host;
        host.chooseFile(chosen);
        CommonDialog dialog;
        dialog.CancelError = true;
        dialog.DefaultExt = defaultExt;
        dialog.InitDir = QStringLiteral("/docs");
        dialog.Filter = FileFilter;
        dialog.Flags = FileFlags;
        dialog.ShowSave();
        const QString folder = chosen.left(chosen.lastIndexOf(QLatin1Char('/')) + 1);
        QCOMPARE(dialog.Filename, QDir::toNativeSeparators(folder + expectedName));
        QCOMPARE(dialog.FileTitle, expectedName);
        const ScriptedModalHost::DialogCall &call = host.dialogs().first();
        QCOMPARE(call.kind, ScriptedModalHost::Save);
        QCOMPARE(call.initDir, QStringLiteral("/docs"));
        QCOMPARE(call.filter, FileFilter);
        QCOMPARE(call.flags, FileFlags);
        QVERIFY(call.cancelError);
    }

    void printChoiceUpdatesFlagsAndCopies_data()
    {
        QTest::addColumn<long>("flagsIn");
        QTest::addColumn<int>("range");
        QTest::addColumn<int>("copies");
        QTest::addColumn<long>("flagsOut");
        QTest::newRow("selection kept")
            << 0x100109L << int(QAbstractPrintDialog::Selection) << 1 << 0x100109L;
        QTest::newRow("selection chosen")
            << 0x100108L << int(QAbstractPrintDialog::Selection) << 2 << 0x100109L;
        QTest::newRow("all chosen instead")
            << 0x100109L << int(QAbstractPrintDialog::AllPages) << 3 << 0x100108L;
        QTest::newRow("page range")
            << 0x100000L << int(QAbstractPrintDialog::PageRange) << 1 << 0x100002L;
    }
    void printChoiceUpdatesFlagsAndCopies()
    {
        QFETCH(long, flagsIn);
        QFETCH(int, range);
        QFETCH(int, copies);
        QFETCH(long, flagsOut);
        ScriptedModalHost host;
        host.choosePrint(QAbstractPrintDialog::PrintRange(range), copies);
        CommonDialog dialog;
        dialog.Flags = flagsIn;
        dialog.ShowPrinter();
        QCOMPARE(dialog.Flags, flagsOut);
        QCOMPARE(dialog.Copies, copies);
        QCOMPARE(host.dialogs().first().flags, flagsIn);
        QCOMPARE(dialog.hDC(), &CommonDialog::sharedPrinter());
    }

    void fontAndColourChoices()
    {
        ScriptedModalHost host;
        QFont chosen(QStringLiteral("Courier New"));
        chosen.setPointSizeF(13.5);
        chosen.setBold(true);
        chosen.setUnderline(true);
        host.chooseFont(chosen);
        host.chooseColor(0x0080FF); // red 255, green 128, blue 0

        CommonDialog dialog;
        dialog.FontName = QStringLiteral("Arial");
        dialog.FontSize = 10;
        dialog.FontItalic = true;
        dialog.FontStrikethru = true;
        const QFont initial = dialogchoice::initialFont(dialog);
        QCOMPARE(initial.family(), QStringLiteral("Arial"));
        QCOMPARE(initial.pointSizeF(), 10.0);
        QVERIFY(initial.italic() && initial.strikeOut() && !initial.bold() && !initial.underline());

        dialog.ShowFont();
        QCOMPARE(dialog.FontName, QStringLiteral("Courier New"));
        QCOMPARE(dialog.FontSize, 13.5f);
        QVERIFY(dialog.FontBold && dialog.FontUnderline && !dialog.FontItalic
                && !dialog.FontStrikethru);
        QCOMPARE(host.dialogs().first().fontName, QStringLiteral("Arial"));

        dialog.ShowColor();
        QCOMPARE(dialog.Color, qint32(0x0080FF));
    }

    void filterBecomesQtNameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("file commands") << FileFilter
                                       << QStringList{QStringLiteral("Text Documents (*.txt)"),
                                                      QStringLiteral("Rich Text Documents (*.rtf)"),
                                                      QStringLiteral("All Files (*)")};
        QTest::newRow("several patterns") << QStringLiteral("Documents|*.txt;*.rtf")
                                          << QStringList{QStringLiteral("Documents (*.txt *.rtf)")};
        QTest::newRow("description without pattern")
            << QStringLiteral("Everything") << QStringList{QStringLiteral("Everything (*)")};
        QTest::newRow("empty") << QString() << QStringList();
    }
    void filterBecomesQtNameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(dialogchoice::qtNameFilters(filter), expected);
    }

    void sharedPrinterIsOneForTheProgram()
    {
        QPrinter &printer = CommonDialog::sharedPrinter();
        QCOMPARE(&CommonDialog::sharedPrinter(), &printer);
        CommonDialog one, two;
        QCOMPARE(one.hDC(), two.hDC());
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is set up here: the PDF fallback does not apply");
        QCOMPARE(printer.outputFormat(), QPrinter::PdfFormat);
        QVERIFY2(printer.outputFileName().startsWith(testenv::homeDir() + "/"),
                 qPrintable(printer.outputFileName()));
        QVERIFY(printer.outputFileName().endsWith(QStringLiteral("/Scrivlet.pdf")));
    }

    // --- The real dialogs ---

    void realMessageBoxAnswers_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("expected");
        QTest::newRow("Yes/No/Cancel, Esc") << int(vbYesNoCancel) << "Esc" << int(vbCancel);
        QTest::newRow("Yes/No/Cancel, close box") << int(vbYesNoCancel) << "close" << int(vbCancel);
        QTest::newRow("Yes/No/Cancel, Yes") << int(vbYesNoCancel) << "Yes" << int(vbYes);
        QTest::newRow("Yes/No/Cancel, No") << int(vbYesNoCancel) << "No" << int(vbNo);
        QTest::newRow("Yes/No/Cancel, Enter") << int(vbYesNoCancel) << "Enter" << int(vbYes);
        QTest::newRow("Yes/No/Cancel, second default, Enter")
            << int(vbYesNoCancel + vbDefaultButton2) << "Enter" << int(vbNo);
        QTest::newRow("Yes/No, Esc") << int(vbYesNo) << "Esc" << int(vbNo);
        QTest::newRow("Yes/No, close box") << int(vbYesNo) << "close" << int(vbNo);
        QTest::newRow("OK/Cancel, Esc") << int(vbOKCancel + vbCritical) << "Esc" << int(vbCancel);
        QTest::newRow("OK/Cancel, OK") << int(vbOKCancel) << "OK" << int(vbOK);
        QTest::newRow("OK/Cancel, third default is out of range")
            << int(vbOKCancel + vbDefaultButton3) << "Enter" << int(vbOK);
        QTest::newRow("OK only, Esc") << int(vbOKOnly) << "Esc" << int(vbOK);
    }
    void realMessageBoxAnswers()
    {
        QFETCH(int, buttons);
        QFETCH(QString, action);
        QFETCH(int, expected);
        ModalDriver driver({[&](QWidget *front) {
            if (action == QLatin1String("Esc"))
                QTest::keyClick(front, Qt::Key_Escape);
            else if (action == QLatin1String("Enter"))
                QTest::keyClick(front, Qt::Key_Return);
            else if (action == QLatin1String("close"))
                front->close();
            else if (action == QLatin1String("Yes"))
                clickMessageBoxButton(front, QMessageBox::Yes);
            else if (action == QLatin1String("No"))
                clickMessageBoxButton(front, QMessageBox::No);
            else
                clickMessageBoxButton(front, QMessageBox::Ok);
        }});
        QCOMPARE(MsgBox(QStringLiteral("Question"), buttons, QStringLiteral("Title")), expected);
        VERIFY_DRIVEN(driver);
    }

    void realMessageBoxShowsPromptTitleIconAndButtons()
    {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        Qt::TextFormat format = Qt::AutoText;
        ModalDriver driver({[&](QWidget *front) {
            auto *box = qobject_cast<QMessageBox *>(front);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            shown = box->standardButtons();
            format = box->textFormat();
            defaultButton = box->standardButton(box->defaultButton());
            clickMessageBoxButton(front, QMessageBox::Yes);
        }});
        const QString prompt
            = QStringLiteral("Save the changes to <b>a.txt</b> before continuing?\r\nSecond line");
        QCOMPARE(MsgBox(prompt, vbYesNoCancel + vbInformation, QStringLiteral("Save Changes?")),
                 int(vbYes));
        VERIFY_DRIVEN(driver);
        QCOMPARE(title, QStringLiteral("Save Changes?"));
        QCOMPARE(
            text,
            QStringLiteral("Save the changes to <b>a.txt</b> before continuing?\nSecond line"));
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(shown, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(defaultButton, QMessageBox::Yes);

        // Without a title the box carries the program's name.
        ModalDriver untitled({[&](QWidget *front) {
            title = front->windowTitle();
            clickMessageBoxButton(front, QMessageBox::Ok);
        }});
        QCOMPARE(MsgBox(QStringLiteral("Done")), int(vbOK));
        VERIFY_DRIVEN(untitled);
        QCOMPARE(title, QStringLiteral("Scrivlet"));
    }

    void realOpenDialogReturnsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letter.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QString startDir;
        QStringList nameFilters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        ModalDriver driver({[&](QWidget *front) {
            auto *dialog = qobject_cast<QFileDialog *>(front);
            QVERIFY(dialog);
            startDir = dialog->directory().absolutePath();
            nameFilters = dialog->nameFilters();
            mode = dialog->fileMode();
            acceptFileDialogWith(front, QStringLiteral("letter.txt"));
        }});
        CommonDialog dialog;
        dialog.InitDir = dir.path();
        dialog.Filter = FileFilter;
        dialog.Flags = FileFlags;
        dialog.CancelError = true;
        dialog.ShowOpen();
        VERIFY_DRIVEN(driver);
        QCOMPARE(startDir, QDir(dir.path()).absolutePath());
        QCOMPARE(nameFilters, dialogchoice::qtNameFilters(FileFilter));
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(dialog.Filename, QDir::toNativeSeparators(path));
        QCOMPARE(dialog.FileTitle, QStringLiteral("letter.txt"));
        QCOMPARE(dialog.FilterIndex, 1);
    }

    void realOpenDialogRefusesAMissingFile()
    {
        QTemporaryDir dir;
        QString warningClass;
        ModalDriver driver({
            [](QWidget *front) { acceptFileDialogWith(front, QStringLiteral("missing.txt")); },
            [&](QWidget *front) {
                // The dialog says the file is not there and stays open.
                warningClass = QLatin1String(front->metaObject()->className());
                clickMessageBoxButton(front, QMessageBox::Ok);
            },
            [](QWidget *front) {
                QVERIFY(qobject_cast<QFileDialog *>(front));
                front->close();
            },
        });
        CommonDialog dialog;
        dialog.InitDir = dir.path();
        dialog.Filter = FileFilter;
        dialog.Flags = FileFlags;
        dialog.CancelError = true;
        QCOMPARE(raisedNumber([&] { dialog.ShowOpen(); }), int(ErrCancel));
        VERIFY_DRIVEN(driver);
        QCOMPARE(warningClass, QStringLiteral("QMessageBox"));
        QCOMPARE(dialog.Filename, QString());
    }

    void realSaveDialogAddsTheDefaultExtension()
    {
        QTemporaryDir dir;
        ModalDriver driver(
            {[](QWidget *front) { acceptFileDialogWith(front, QStringLiteral("notes")); }});
        CommonDialog dialog;
        dialog.InitDir = dir.path();
        dialog.Filter = FileFilter;
        dialog.DefaultExt = QStringLiteral(".txt");
        dialog.Flags = FileFlags;
        dialog.ShowSave();
        VERIFY_DRIVEN(driver);
        QCOMPARE(dialog.Filename,
                 QDir::toNativeSeparators(dir.filePath(QStringLiteral("notes.txt"))));
        QCOMPARE(dialog.FileTitle, QStringLiteral("notes.txt"));
    }

    void realSaveDialogAsksBeforeReplacing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("letter.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QString question;
        ModalDriver driver({
            [](QWidget *front) { acceptFileDialogWith(front, QStringLiteral("letter.txt")); },
            [&](QWidget *front) {
                auto *box = qobject_cast<QMessageBox *>(front);
                QVERIFY(box);
                question = box->text();
                clickMessageBoxButton(front, QMessageBox::Yes);
            },
        });
        CommonDialog dialog;
        dialog.InitDir = dir.path();
        dialog.Filter = FileFilter;
        dialog.Flags = FileFlags;
        dialog.ShowSave();
        VERIFY_DRIVEN(driver);
        QVERIFY2(question.contains(QStringLiteral("letter.txt")), qPrintable(question));
        QCOMPARE(dialog.FileTitle, QStringLiteral("letter.txt"));
    }

    void realFileDialogCancelled()
    {
        ModalDriver driver({[](QWidget *front) {
            QVERIFY(qobject_cast<QFileDialog *>(front));
            QTest::keyClick(front, Qt::Key_Escape);
        }});
        CommonDialog dialog;
        dialog.Filename = QStringLiteral("kept.txt");
        dialog.CancelError = true;
        QCOMPARE(raisedNumber([&] { dialog.ShowSave(); }), int(ErrCancel));
        VERIFY_DRIVEN(driver);
        QCOMPARE(dialog.Filename, QStringLiteral("kept.txt"));

        ModalDriver quiet({[](QWidget *front) { front->close(); }});
        dialog.CancelError = false;
        QCOMPARE(raisedNumber([&] { dialog.ShowOpen(); }), 0);
        VERIFY_DRIVEN(quiet);
        QCOMPARE(dialog.Filename, QStringLiteral("kept.txt"));
    }

    void realColourDialog()
    {
        QColor startedWith;
        ModalDriver driver({[&](QWidget *front) {
            auto *dialog = qobject_cast<QColorDialog *>(front);
            QVERIFY(dialog);
            startedWith = dialog->currentColor();
            dialog->setCurrentColor(QColor(10, 20, 30));
            dialog->accept();
        }});
        CommonDialog dialog;
        dialog.Flags = cdlCCRGBInit | cdlCCFullOpen;
        dialog.Color = 0x0000FF; // red
        dialog.ShowColor();
        VERIFY_DRIVEN(driver);
        QCOMPARE(startedWith, QColor(255, 0, 0));
        QCOMPARE(dialog.Color, qint32(10 + 256 * 20 + 65536 * 30));
    }

    void realFontDialog()
    {
        // A family with an italic face of its own (fonts-dejavu-extra gives
        // DejaVu Serif one), so that the dialog can give italic back.
        const QStringList families = QFontDatabase::families();
        const auto withItalic
            = std::find_if(families.cbegin(), families.cend(), [](const QString &family) {
                  return QFontDatabase::styles(family).contains(QStringLiteral("Italic"));
              });
        QVERIFY2(withItalic != families.cend(), "no font family with an Italic style is installed");
        const QString family = *withItalic;
        QFont startedWith;
        ModalDriver driver({[&](QWidget *front) {
            auto *dialog = qobject_cast<QFontDialog *>(front);
            QVERIFY(dialog);
            startedWith = dialog->currentFont();
            QFont chosen(family);
            chosen.setPointSize(14);
            chosen.setItalic(true);
            chosen.setStrikeOut(true);
            dialog->setCurrentFont(chosen);
            dialog->accept();
        }});
        CommonDialog dialog;
        dialog.FontName = family;
        dialog.FontSize = 11;
        dialog.FontBold = true;
        dialog.FontUnderline = true;
        dialog.ShowFont();
        VERIFY_DRIVEN(driver);
        QCOMPARE(startedWith.pointSize(), 11);
        QVERIFY(startedWith.underline());
        QCOMPARE(dialog.FontName, family);
        QCOMPARE(dialog.FontSize, 14.0f);
        QVERIFY(dialog.FontItalic && dialog.FontStrikethru && !dialog.FontUnderline);
    }

    void realPrintDialogKeepsTheSelectionChoice()
    {
        QAbstractPrintDialog::PrintRange preselected = QAbstractPrintDialog::AllPages;
        ModalDriver driver({[&](QWidget *front) {
            auto *dialog = qobject_cast<QPrintDialog *>(front);
            QVERIFY2(dialog, front->metaObject()->className());
            preselected = dialog->printRange();
            dialog->accept();
        }});
        CommonDialog dialog;
        dialog.Flags = 0x100109;
        dialog.CancelError = true;
        dialog.ShowPrinter();
        VERIFY_DRIVEN(driver);
        QCOMPARE(preselected, QAbstractPrintDialog::Selection);
        QCOMPARE(dialog.Flags, 0x100109L);
        QCOMPARE(dialog.Copies, 1);
        // The program prints every copy itself, and its print copy whole.
        QCOMPARE(CommonDialog::sharedPrinter().copyCount(), 1);
        QVERIFY(CommonDialog::sharedPrinter().printRange() != QPrinter::Selection);
    }

    void realPrintAndPageSetupCancelled()
    {
        ModalDriver driver({[](QWidget *front) {
            QVERIFY2(qobject_cast<QPrintDialog *>(front), front->metaObject()->className());
            front->close();
        }});
        CommonDialog dialog;
        dialog.Flags = 0x100108;
        dialog.CancelError = true;
        QCOMPARE(raisedNumber([&] { dialog.ShowPrinter(); }), int(ErrCancel));
        VERIFY_DRIVEN(driver);

        ModalDriver setup({[](QWidget *front) {
            QVERIFY2(qobject_cast<QPageSetupDialog *>(front), front->metaObject()->className());
            front->close();
        }});
        dialog.Flags = cdlPDPrintSetup;
        dialog.CancelError = false;
        QCOMPARE(raisedNumber([&] { dialog.ShowPrinter(); }), 0);
        VERIFY_DRIVEN(setup);
    }

    void realPageSetupChangesTheSharedPrinter()
    {
        QPrinter &printer = CommonDialog::sharedPrinter();
        printer.setPageOrientation(QPageLayout::Portrait);
        ModalDriver driver({[](QWidget *front) {
            auto *landscape = front->findChild<QRadioButton *>(QStringLiteral("landscape"));
            QVERIFY2(landscape, "the page-setup dialog has no landscape choice");
            landscape->click();
            static_cast<QDialog *>(front)->accept();
        }});
        CommonDialog dialog;
        dialog.Flags = cdlPDPrintSetup;
        dialog.ShowPrinter();
        VERIFY_DRIVEN(driver);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        printer.setPageOrientation(QPageLayout::Portrait);
    }

    void realPopupMenu()
    {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QMenu popup(&window);
        popup.addAction(QStringLiteral("Cut"));
        QAction *copy = popup.addAction(QStringLiteral("Copy"));
        QSignalSpy copied(copy, &QAction::triggered);

        ModalDriver choose({[&](QWidget *front) {
            QCOMPARE(front, static_cast<QWidget *>(&popup));
            popup.setActiveAction(copy);
            QTest::keyClick(front, Qt::Key_Return);
        }});
        QCOMPARE(modalHost().popupMenu(popup, window.mapToGlobal(QPoint(5, 5))), copy);
        VERIFY_DRIVEN(choose);
        QCOMPARE(copied.count(), 1);

        ModalDriver dismiss({[](QWidget *front) { QTest::keyClick(front, Qt::Key_Escape); }});
        QCOMPARE(modalHost().popupMenu(popup, window.mapToGlobal(QPoint(5, 5))),
                 static_cast<QAction *>(nullptr));
        VERIFY_DRIVEN(dismiss);
        QCOMPARE(copied.count(), 1);
    }
};

SCRIVLET_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
