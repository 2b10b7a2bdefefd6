// A middle click in the editor pastes the X primary selection: its plain
// text at the click, in the format there, and nothing when the selection has
// no owner or no plain text. Runs on a real X display; another run of this
// program owns the selection.

#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/state/WindowTitle.h"

#include <QClipboard>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>

#include <cstdio>

using namespace shelltest;

namespace {

const QString PlainType = QStringLiteral("text/plain");
const QString RtfType = QStringLiteral("text/rtf");

// The helper run: owns the primary selection with offer (pairs of a MIME type
// and its data), says "owned" on its output and serves the selection until it
// is ended.
int ownPrimarySelection(const QStringList &offer)
{
    auto *data = new QMimeData;
    for (qsizetype i = 0; i + 1 < offer.size(); i += 2)
        data->setData(offer.at(i), offer.at(i + 1).toUtf8());
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(data, QClipboard::Selection);
    if (!clipboard->ownsSelection())
        return 1;
    std::fputs("owned\n", stdout);
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// True when this process sees the primary selection offer plain text and Rich
// Text exactly when offer holds them. It hears of a new owner through an X
// event, until which it may still report the previous owner's types.
bool selectionMatches(const QStringList &offer)
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Selection);
    const QStringList formats = data ? data->formats() : QStringList();
    const auto offered = [&offer](const QString &type) {
        for (qsizetype i = 0; i < offer.size(); i += 2)
            if (offer.at(i) == type)
                return true;
        return false;
    };
    return formats.contains(PlainType) == offered(PlainType)
        && formats.contains(RtfType) == offered(RtfType);
}

QPoint pointAt(RichTextBox &editor, int position)
{
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(editor.toDocumentPosition(position));
    return editor.cursorRect(cursor).center();
}

} // namespace

class PrimarySelectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::clipboard()->supportsSelection(),
                 "needs an X display: QT_QPA_PLATFORM=xcb, with DISPLAY set");
    }
    void init() { DeleteSetting(AppName); }
    void cleanup()
    {
        m_owner.kill();
        m_owner.waitForFinished();
        endRun();
    }

    void middleClickPastesThePlainTextOfThePrimarySelection_data()
    {
        QTest::addColumn<QStringList>("offer");
        QTest::addColumn<QString>("pasted"); // as Text reads it

        const QString rtf
            = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Bold\\b0  words\\par}");
        QTest::newRow("no owner") << QStringList() << QString();
        QTest::newRow("empty text") << QStringList{PlainType, QString()} << QString();
        QTest::newRow("plain text") << QStringList{PlainType, "pasted words"} << "pasted words";
        QTest::newRow("plain text in lines") << QStringList{PlainType, "one\ntwo"} << "one\r\ntwo";
        QTest::newRow("rich text with its plain form")
            << QStringList{RtfType, rtf, PlainType, "Bold words"} << "Bold words";
        QTest::newRow("rich text alone") << QStringList{RtfType, rtf} << QString();
    }

    void middleClickPastesThePlainTextOfThePrimarySelection()
    {
        QFETCH(QStringList, offer);
        QFETCH(QString, pasted);
        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        const QString original = QStringLiteral("first line\r\nsecond line");
        editor.setText(original);
        editor.setSelLength(editor.textLength());
        editor.setSelItalic(true); // the format at the click
        editor.setSelStart(0);
        App.IsSaved = true;
        UpdateTitle();
        offerPrimarySelection(offer);
        QSignalSpy changes(&editor, &RichTextBox::Change);

        const int click = 5;
        QTest::mouseClick(editor.viewport(), Qt::MiddleButton, {}, pointAt(editor, click));

        QCOMPARE(editor.Text(), original.left(click) + pasted + original.mid(click));
        QCOMPARE(App.IsSaved, pasted.isEmpty());
        QCOMPARE(changes.isEmpty(), pasted.isEmpty());
        if (pasted.isEmpty())
            return;
        QCOMPARE(editor.SelStart(), click + pasted.size());
        editor.setSelStart(click);
        editor.setSelLength(pasted.size());
        QVERIFY(editor.SelItalic());
        QVERIFY2(!editor.SelBold(), "Rich Text is pasted as its plain text");
        editor.undo();
        QCOMPARE(editor.Text(), original);
    }

private:
    // Makes another run of this program the owner of the primary selection,
    // offering offer; with nothing to offer, the selection is left without
    // an owner.
    void offerPrimarySelection(const QStringList &offer)
    {
        if (offer.isEmpty()) {
            QGuiApplication::clipboard()->clear(QClipboard::Selection);
        } else {
            m_owner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            m_owner.start(QCoreApplication::applicationFilePath(),
                          QStringList{testenv::HelperArgument} + offer);
            QVERIFY2(m_owner.waitForReadyRead(10000) && m_owner.readLine() == "owned\n",
                     "the helper run did not take the primary selection");
        }
        QTRY_VERIFY(selectionMatches(offer));
    }

    QProcess m_owner;
};

SCRIVLET_TEST_MAIN_WITH_HELPER(PrimarySelectionTest, ownPrimarySelection)
#include "tst_x11_primary_selection.moc"
