// The Colours dialog: the preview's words and their formats, the swatches and
// the font and colour steps, Restore Defaults, what OK stores and applies and
// what Cancel leaves alone, the layout, and the dialog as a modal window of
// the editor with the real font and colour dialogs.

#include "DocumentTestSupport.h"
#include "ModalDriver.h"
#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/state/ViewToggles.h"
#include "appearance/ColorSwatch.h"
#include "appearance/frmColors.h"
#include "platform/TextFormat.h"
#include "platform/Twips.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace shelltest;

namespace {

const QString Fonts = QStringLiteral("Fonts");

// The sample as the user reads it, line by line.
const QStringList SampleLines = {
    "Default Text",     "HyperText Link",   "",
    "                ", "Gray     Gray   ", "Black    Black  ",
    "Red      Red    ", "Yellow   Yellow ", "Green    Green  ",
    "Cyan     Cyan   ", "Blue     Blue   ", "Magenta  Magenta",
};

// Where a word of the sample starts, counting CR LF as two characters.
int samplePosition(int line, int column)
{
    int position = 0;
    for (int i = 0; i < line; ++i)
        position += int(SampleLines.at(i).size()) + 2;
    return position + column;
}

constexpr int DefaultStyle = -2;
constexpr int HyperTextStyle = -1;

TextStyle &appStyle(int which)
{
    return which == DefaultStyle  ? App.DefStyle
        : which == HyperTextStyle ? App.HyperTextStyle
                                  : App.Palette[std::size_t(which)];
}

// A style unlike any other: its own colour, font, size and effects.
TextStyle distinctStyle(int which)
{
    TextStyle style;
    style.Color = 1000 + 37 * (which + 2);
    style.Bold = which % 2 != 0;
    style.Italic = which % 3 == 0;
    style.Underline = which % 4 == 1;
    style.StrikeThru = which % 5 == 2;
    style.FontName = which % 2 ? QStringLiteral("DejaVu Serif") : QStringLiteral("DejaVu Sans");
    style.FontSize = qint16(8 + (which + 2) % 9);
    return style;
}

// The format of the characters from start to start + length, or a note of the
// first character that differs.
QString formatOf(RichTextBox &box, int start, int length, const TextStyle &style)
{
    for (int i = start; i < start + length; ++i) {
        box.setSelStart(i);
        box.setSelLength(1);
        const bool same = box.SelColor() == style.Color && box.SelBold() == style.Bold
            && box.SelItalic() == style.Italic && box.SelUnderline() == style.Underline
            && box.SelStrikeThru() == style.StrikeThru
            && box.SelFontName().compare(style.FontName, Qt::CaseInsensitive) == 0
            && box.SelFontSize() == float(style.FontSize);
        if (!same)
            return QStringLiteral("position %1: colour %2 bold %3 italic %4 underline %5 strike "
                                  "%6 font %7 %8")
                .arg(i)
                .arg(box.SelColor())
                .arg(box.SelBold())
                .arg(box.SelItalic())
                .arg(box.SelUnderline())
                .arg(box.SelStrikeThru())
                .arg(box.SelFontName())
                .arg(box.SelFontSize());
    }
    return QString();
}

#define VERIFY_FORMAT(box, start, length, style) \
    do { \
        const QString difference = formatOf(box, start, length, style); \
        QVERIFY2(difference.isEmpty(), qPrintable(difference)); \
    } while (false)

// The dialog as FormatFont opens it, but shown modeless so that a test can
// work it from outside.
QPointer<ColorsDialog> openColors()
{
    QPointer<ColorsDialog> dialog = new ColorsDialog(&currentWindow());
    dialog->Form_Activate();
    dialog->show();
    return dialog;
}

// The word of the sample a palette style shows: its line and column, and its
// length.
QPoint paletteWord(int index) { return QPoint(index % 2 ? 9 : 0, 4 + index / 2); }
int wordLengthAt(QPoint word)
{
    return int(SampleLines.at(word.y()).mid(word.x()).section(QLatin1Char(' '), 0, 0).size());
}

} // namespace

class ColoursTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        endRun();
    }

    void previewShowsEachWordInItsStyle_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("style");
        QTest::newRow("Default Text") << 0 << 0 << "Default Text" << DefaultStyle;
        QTest::newRow("HyperText Link") << 1 << 0 << "HyperText Link" << HyperTextStyle;
        const char *words[]
            = {"Gray", "Black", "Red", "Yellow", "Green", "Cyan", "Blue", "Magenta"};
        for (int column = 0; column < 8; ++column) {
            QTest::addRow("first %s", words[column])
                << 4 + column << 0 << words[column] << 2 * column;
            QTest::addRow("second %s", words[column])
                << 4 + column << 9 << words[column] << 2 * column + 1;
        }
    }

    void previewShowsEachWordInItsStyle()
    {
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, word);
        QFETCH(int, style);
        for (int which = DefaultStyle; which < PaletteSize; ++which)
            appStyle(which) = distinctStyle(which);
        QPointer<ColorsDialog> dialog = openColors();
        RichTextBox &box = *dialog->rtbColors;

        QCOMPARE(box.Text(), SampleLines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        QCOMPARE(box.textLength(), 194);
        const int position = samplePosition(line, column);
        QCOMPARE(box.Text().mid(position, word.size()), word);
        VERIFY_FORMAT(box, position, int(word.size()), distinctStyle(style));
        // The blank after the word keeps the sample's own plain black.
        box.setSelStart(position + int(word.size()));
        box.setSelLength(1);
        if (box.SelText() == QLatin1String(" ")) {
            QCOMPARE(box.SelColor(), 0);
            QVERIFY(!box.SelBold() && !box.SelItalic() && !box.SelUnderline());
        }
        dialog->cmdCancel->click();
    }

    void previewEndsWithTheCaretAtTheLastLinesEnd()
    {
        QPointer<ColorsDialog> dialog = openColors();
        QCOMPARE(dialog->rtbColors->SelStart(), 192);
        QCOMPARE(dialog->rtbColors->SelLength(), 0);
        QCOMPARE(dialog->rtbColors->BackColor(), 16777215);
        dialog->cmdCancel->click();
    }

    void layoutInTwips()
    {
        QPointer<ColorsDialog> dialog = openColors();
        const auto px = [](int x, int y, int w, int h) {
            return QRect(twipsToPixelsX(x), twipsToPixelsY(y), twipsToPixelsX(w),
                         twipsToPixelsY(h));
        };
        QCOMPARE(dialog->objectName(), QStringLiteral("frmColors"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Colors"));
        QCOMPARE(dialog->size(), px(0, 0, 5595, 3060).size());
        QVERIFY(dialog->windowFlags() & Qt::Tool);
        QVERIFY(!(dialog->windowFlags()
                  & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(dialog->parentWidget(), &currentWindow());

        const struct
        {
            const char *name;
            QRect rect;
            const char *caption;
        } controls[] = {
            {"lblBackground", px(120, 120, 1095, 255), "Background:"},
            {"ptrBackground", px(1200, 120, 255, 255), nullptr},
            {"lblHyperText", px(1560, 120, 855, 255), "Hypertext:"},
            {"cmdSetHpyr", px(2520, 120, 495, 255), "Set"},
            {"lblDefault", px(120, 480, 975, 255), "Default Font:"},
            {"cmdSetDef", px(1080, 480, 495, 255), "Set"},
            {"cmdRestore", px(1680, 480, 1335, 255), "Restore Defaults"},
            {"fraPlain", px(120, 840, 2895, 615), "Plain"},
            {"fraBold", px(120, 1560, 2895, 615), "Bold"},
            {"cmdPlainFont", px(120, 240, 495, 255), "Font"},
            {"cmdBoldFont", px(120, 240, 495, 255), "Font"},
            {"lblInstructions", px(480, 2280, 2295, 255), "Click on a color above to set it."},
            {"cmdOK", px(120, 2640, 1335, 375), "OK"},
            {"cmdCancel", px(1680, 2640, 1335, 375), "Cancel"},
            {"rtbColors", px(3120, 120, 2415, 2895), nullptr},
        };
        for (const auto &control : controls) {
            auto *widget = dialog->findChild<QWidget *>(QLatin1String(control.name));
            QVERIFY2(widget, control.name);
            QCOMPARE(widget->geometry(), control.rect);
            if (auto *label = qobject_cast<QLabel *>(widget))
                QCOMPARE(label->text(), QLatin1String(control.caption));
            else if (auto *button = qobject_cast<QPushButton *>(widget))
                QCOMPARE(button->text(), QLatin1String(control.caption));
            else if (auto *frame = qobject_cast<QGroupBox *>(widget))
                QCOMPARE(frame->title(), QLatin1String(control.caption));
        }

        const char *plainRow[] = {"ptrGray",  "ptrBlack", "ptrRed",  "ptrOrange",
                                  "ptrGreen", "ptrCyan",  "ptrBlue", "ptrMagenta"};
        const char *boldRow[] = {"ptrBGray",  "ptrBBlack", "ptrBRed",  "ptrYellow",
                                 "ptrBGreen", "ptrBCyan",  "ptrBBlue", "ptrBMagenta"};
        for (int column = 0; column < 8; ++column) {
            for (const auto &[row, frame] :
                 {std::pair{plainRow, dialog->fraPlain}, std::pair{boldRow, dialog->fraBold}}) {
                auto *swatch = dialog->findChild<ColorSwatch *>(QLatin1String(row[column]));
                QVERIFY2(swatch, row[column]);
                QCOMPARE(swatch->parentWidget(), frame);
                QCOMPARE(swatch->geometry(), px(840 + 240 * column, 240, 255, 255));
            }
        }
        QVERIFY(dialog->cmdCancel->isDefault());
        QVERIFY(!dialog->cmdOK->isDefault());
        dialog->cmdCancel->click();
    }

    void swatchesShowTheirColours_data()
    {
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<int>("color");
        const char *names[]
            = {"ptrGray",   "ptrBGray",  "ptrBlack",   "ptrBBlack",  "ptrRed",  "ptrBRed",
               "ptrOrange", "ptrYellow", "ptrGreen",   "ptrBGreen",  "ptrCyan", "ptrBCyan",
               "ptrBlue",   "ptrBBlue",  "ptrMagenta", "ptrBMagenta"};
        const int colors[]
            = {11513775, 16448250, 0,        6579300,  175,      255,      25850,    65535,
               44800,    65280,    11513600, 16776960, 11468800, 16711680, 11468975, 16711935};
        for (int i = 0; i < 16; ++i)
            QTest::newRow(names[i]) << names[i] << colors[i];
        QTest::newRow("ptrBackground") << "ptrBackground" << 16777215;
    }

    void swatchesShowTheirColours()
    {
        QFETCH(QString, swatch);
        QFETCH(int, color);
        QPointer<ColorsDialog> dialog = openColors();
        auto *widget = dialog->findChild<ColorSwatch *>(swatch);
        QVERIFY(widget);
        QCOMPARE(widget->BackColor(), color);
        QCOMPARE(widget->grab().toImage().pixelColor(widget->rect().center()),
                 textformat::colorFromPacked(color));
        dialog->cmdCancel->click();
    }

    void paletteSwatchSetsItsColour_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("swatch");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("length");
        QTest::newRow("ptrGray") << 0 << "ptrGray" << 4 << 0 << 4;
        QTest::newRow("ptrOrange: the first Yellow") << 6 << "ptrOrange" << 7 << 0 << 6;
        QTest::newRow("ptrYellow: the second Yellow") << 7 << "ptrYellow" << 7 << 9 << 6;
        QTest::newRow("ptrBMagenta") << 15 << "ptrBMagenta" << 11 << 9 << 7;
    }

    void paletteSwatchSetsItsColour()
    {
        QFETCH(int, index);
        QFETCH(QString, swatch);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(int, length);
        const int builtInColor = App.Palette[std::size_t(index)].Color;
        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        auto *widget = dialog->findChild<ColorSwatch *>(swatch);

        host.cancelColor();
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(dialog->WorkPalette[std::size_t(index)].Color, builtInColor);

        host.chooseColor(0x123456);
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(host.dialogs().size(), 2);
        const auto &asked = host.dialogs().last();
        QCOMPARE(asked.kind, ScriptedModalHost::Color);
        QCOMPARE(asked.flags, 3L);
        QVERIFY(asked.cancelError);
        QCOMPARE(asked.color, builtInColor);
        QCOMPARE(dialog->WorkPalette[std::size_t(index)].Color, 0x123456);
        QCOMPARE(widget->BackColor(), 0x123456);
        RichTextBox &box = *dialog->rtbColors;
        box.setSelStart(samplePosition(line, column));
        box.setSelLength(length);
        QCOMPARE(box.SelColor(), 0x123456);
        QCOMPARE(App.Palette[std::size_t(index)].Color, builtInColor); // the working copy only
        dialog->cmdCancel->click();
    }

    void backgroundSwatchSetsThePreviewsBackground()
    {
        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        host.chooseColor(0x00FFFF);
        QTest::mouseClick(dialog->ptrBackground, Qt::LeftButton);
        QCOMPARE(host.dialogs().last().flags, 2L);
        QCOMPARE(dialog->WorkBackColor, 0x00FFFF);
        QCOMPARE(dialog->ptrBackground->BackColor(), 0x00FFFF);
        QCOMPARE(dialog->rtbColors->BackColor(), 0x00FFFF);
        QCOMPARE(App.DefaultBackColor, 16777215);
        dialog->cmdCancel->click();
    }

    void setButtonsTakeAFontThenAColour_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("line");
        QTest::newRow("cmdSetDef") << "cmdSetDef" << DefaultStyle << 0;
        QTest::newRow("cmdSetHpyr") << "cmdSetHpyr" << HyperTextStyle << 1;
    }

    void setButtonsTakeAFontThenAColour()
    {
        QFETCH(QString, button);
        QFETCH(int, style);
        QFETCH(int, line);
        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        TextStyle &work = style == DefaultStyle ? dialog->WorkDef : dialog->WorkHyperText;
        const TextStyle before = work;
        auto *set = dialog->findChild<QPushButton *>(button);
        RichTextBox &box = *dialog->rtbColors;
        const int wordLength = int(SampleLines.at(line).size());

        // The font dialog cancelled: nothing changes and no colour is asked.
        host.cancelFont();
        set->click();
        QCOMPARE(work, before);
        QCOMPARE(host.dialogs().size(), 1);
        const auto &fontAsked = host.dialogs().first();
        QCOMPARE(fontAsked.kind, ScriptedModalHost::Font);
        QCOMPARE(fontAsked.flags, 259L);
        QVERIFY(fontAsked.cancelError);
        QCOMPARE(fontAsked.fontName, before.FontName);
        QCOMPARE(fontAsked.fontSize, float(before.FontSize));
        QCOMPARE(fontAsked.fontItalic, before.Italic);
        QCOMPARE(fontAsked.fontUnderline, before.Underline);
        QCOMPARE(fontAsked.color, before.Color);

        // The font taken, the colour cancelled: the font stays in the style,
        // the preview is not drawn again.
        QFont serif(QStringLiteral("DejaVu Serif"));
        serif.setPointSizeF(10.5);
        serif.setBold(true);
        serif.setStrikeOut(true);
        host.chooseFont(serif);
        host.cancelColor();
        set->click();
        TextStyle expected = before;
        expected.FontName = QStringLiteral("DejaVu Serif");
        expected.FontSize = 10; // 10.5 points: halves go to the even number
        expected.Bold = true;
        expected.StrikeThru = true;
        expected.Italic = false;
        expected.Underline = false;
        QCOMPARE(work, expected);
        QCOMPARE(host.dialogs().last().flags, 2L);
        VERIFY_FORMAT(box, samplePosition(line, 0), wordLength, before);

        // Both taken: the preview shows the new style.
        serif.setPointSizeF(11.5);
        host.chooseFont(serif);
        host.chooseColor(0x0000C0);
        set->click();
        expected.FontSize = 12;
        expected.Color = 0x0000C0;
        QCOMPARE(work, expected);
        VERIFY_FORMAT(box, samplePosition(line, 0), wordLength, expected);
        QCOMPARE(appStyle(style), before); // the working copy only
        QCOMPARE(host.unusedAnswers(), 0);
        dialog->cmdCancel->click();
    }

    void rowFontButtonsFormatTheirRow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("row");
        QTest::newRow("Plain row") << "cmdPlainFont" << 0;
        QTest::newRow("Bold row") << "cmdBoldFont" << 1;
    }

    void rowFontButtonsFormatTheirRow()
    {
        QFETCH(QString, button);
        QFETCH(int, row);
        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        QFont bold(QStringLiteral("DejaVu Sans"));
        bold.setPointSize(11);
        bold.setBold(true);
        host.chooseFont(bold);
        dialog->findChild<QPushButton *>(button)->click();
        QCOMPARE(host.dialogs().size(), 1); // no colour step
        QCOMPARE(host.dialogs().first().fontName, QStringLiteral("Courier New"));

        const TextStylePalette builtIns = App.Palette;
        RichTextBox &box = *dialog->rtbColors;
        for (int index = 0; index < PaletteSize; ++index) {
            TextStyle expected = builtIns[std::size_t(index)];
            if (index % 2 == row) {
                expected.FontName = QStringLiteral("DejaVu Sans");
                expected.FontSize = 11;
                expected.Bold = true;
            }
            QCOMPARE(dialog->WorkPalette[std::size_t(index)], expected);
            const QPoint word = paletteWord(index);
            VERIFY_FORMAT(box, samplePosition(word.y(), word.x()), wordLengthAt(word), expected);
        }
        dialog->cmdCancel->click();
    }

    void restoreDefaults_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("OK") << int(vbOK);
        QTest::newRow("Cancel") << int(vbCancel);
    }

    void restoreDefaults()
    {
        QFETCH(int, answer);
        for (int which = DefaultStyle; which < PaletteSize; ++which)
            appStyle(which) = distinctStyle(which);
        App.DefaultBackColor = 0x202020;
        const TextStylePalette changed = App.Palette;
        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        host.answerMessageBox(answer);
        dialog->cmdRestore->click();
        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(host.messageBoxes().first().prompt, QStringLiteral("Are You sure?"));
        QCOMPARE(host.messageBoxes().first().buttons, int(vbOKCancel));
        QCOMPARE(host.messageBoxes().first().title, QStringLiteral("Scrivlet"));

        if (answer == vbCancel) {
            QCOMPARE(App.Palette, changed);
            QCOMPARE(dialog->WorkPalette, changed);
            QCOMPARE(dialog->ptrBackground->BackColor(), 0x202020);
            dialog->cmdCancel->click();
            return;
        }
        // The state itself is reset at once, and stays so after Cancel.
        QCOMPARE(App.DefStyle, TextStyle());
        QCOMPARE(App.DefaultBackColor, 16777215);
        QCOMPARE(dialog->WorkDef, TextStyle());
        QCOMPARE(dialog->ptrBackground->BackColor(), 16777215);
        QCOMPARE(dialog->rtbColors->BackColor(), 16777215);
        QCOMPARE(dialog->findChild<ColorSwatch *>(QStringLiteral("ptrRed"))->BackColor(), 175);
        VERIFY_FORMAT(*dialog->rtbColors, 0, 12, TextStyle());
        dialog->cmdCancel->click();
        QCOMPARE(App.DefStyle, TextStyle());
        QVERIFY(storedKeys(Fonts).isEmpty());
    }

    void okStoresTheDefaultStyleAndFormatsTheDocument_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("changeStyle");
        QTest::newRow("saved document, new style") << false << true;
        QTest::newRow("modified document, new style") << true << true;
        QTest::newRow("no change at all") << false << false;
    }

    void okStoresTheDefaultStyleAndFormatsTheDocument()
    {
        QFETCH(bool, modified);
        QFETCH(bool, changeStyle);
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setTextRTF("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs40\\b big {\\i words}\\par "
                          "more\\par}");
        App.IsSaved = !modified;
        const QString text = editor.Text();

        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        TextStyle expected;
        if (changeStyle) {
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setPointSize(13);
            font.setItalic(true);
            font.setUnderline(true);
            host.chooseFont(font);
            host.chooseColor(0x0080FF);
            dialog->cmdSetDef->click();
            host.chooseColor(0xE0E0E0);
            QTest::mouseClick(dialog->ptrBackground, Qt::LeftButton);
            host.chooseColor(0x111111);
            QTest::mouseClick(dialog->paletteSwatches[3], Qt::LeftButton);
            expected.FontName = QStringLiteral("DejaVu Serif");
            expected.FontSize = 13;
            expected.Italic = true;
            expected.Underline = true;
            expected.Color = 0x0080FF;
        }
        dialog->cmdOK->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);

        QStringList keys = storedKeys(Fonts);
        keys.sort();
        QCOMPARE(keys,
                 QStringList({"DefBackColor", "DefBold", "DefColor", "DefFontName", "DefFontSize",
                              "DefItalic", "DefStrikeThru", "DefUnderline"}));
        const int back = changeStyle ? 0xE0E0E0 : 16777215;
        QCOMPARE(stored(Fonts, "DefBackColor"), QString::number(back));
        QCOMPARE(stored(Fonts, "DefColor"), QString::number(expected.Color));
        QCOMPARE(stored(Fonts, "DefFontName"), expected.FontName);
        QCOMPARE(stored(Fonts, "DefFontSize"), QString::number(expected.FontSize));
        QCOMPARE(stored(Fonts, "DefItalic"), changeStyle ? "True" : "False");
        QCOMPARE(stored(Fonts, "DefUnderline"), changeStyle ? "True" : "False");
        QCOMPARE(stored(Fonts, "DefBold"), QStringLiteral("False"));
        QCOMPARE(stored(Fonts, "DefStrikeThru"), QStringLiteral("False"));
        QCOMPARE(App.DefStyle, expected);
        QCOMPARE(App.Palette[3].Color, changeStyle ? 0x111111 : 6579300);

        // The whole document in the default style, its text as it was.
        QCOMPARE(editor.SelStart(), 0);
        QCOMPARE(editor.Text(), text);
        VERIFY_FORMAT(editor, 0, editor.textLength(), expected);
        QCOMPARE(editor.BackColor(), back);
        QCOMPARE(App.IsSaved, !modified);
        QCOMPARE(currentWindow().windowTitle().contains(QLatin1Char('*')), modified);
    }

    void cancelKeepsEverything_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("the close box") << "close";
        QTest::newRow("Enter on a swatch") << "Enter";
    }

    void cancelKeepsEverything()
    {
        QFETCH(QString, how);
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setTextRTF("{\\rtf1\\b bold\\par}");
        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        host.chooseColor(0x00FF00);
        QTest::mouseClick(dialog->paletteSwatches[0], Qt::LeftButton);
        host.chooseColor(0x0000FF);
        QTest::mouseClick(dialog->ptrBackground, Qt::LeftButton);

        if (how == QLatin1String("Cancel")) {
            dialog->cmdCancel->click();
        } else if (how == QLatin1String("close")) {
            dialog->close();
        } else {
            // Esc does nothing; Enter on a swatch is Cancel.
            dialog->activateWindow();
            dialog->paletteSwatches[5]->setFocus();
            QTest::keyClick(dialog->paletteSwatches[5], Qt::Key_Escape);
            QVERIFY(dialog && dialog->isVisible());
            QTest::keyClick(dialog->paletteSwatches[5], Qt::Key_Return);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
        QVERIFY(storedKeys(Fonts).isEmpty());
        QCOMPARE(App.Palette[0].Color, 11513775);
        QCOMPARE(App.DefaultBackColor, 16777215);
        editor.setSelStart(0);
        editor.setSelLength(4);
        QVERIFY(editor.SelBold());
        // The next opening starts from the state again.
        dialog = openColors();
        QCOMPARE(dialog->paletteSwatches[0]->BackColor(), 11513775);
        dialog->cmdCancel->click();
    }

    void okKeepsThePaletteForTheRun()
    {
        ScriptedModalHost host;
        QPointer<ColorsDialog> dialog = openColors();
        host.chooseColor(0x445566);
        QTest::mouseClick(dialog->paletteSwatches[9], Qt::LeftButton);
        dialog->cmdOK->click();
        dialog = openColors();
        QCOMPARE(dialog->paletteSwatches[9]->BackColor(), 0x445566);
        dialog->cmdCancel->click();
        QVERIFY(!storedKeys(Fonts).join(' ').contains(QLatin1String("Palette")));
        endRunKeepingTheStore();
        start();
        QCOMPARE(App.Palette[9].Color, 65280);
    }

    void formatFontOpensAModalDialogOfTheEditor_data()
    {
        QTest::addColumn<bool>("alwaysOnTop");
        QTest::newRow("Always On Top") << true;
        QTest::newRow("not on top") << false;
    }

    void formatFontOpensAModalDialogOfTheEditor()
    {
        QFETCH(bool, alwaysOnTop);
        if (alwaysOnTop)
            ToggleAlwaysTop();
        bool modal = false;
        bool onTop = !alwaysOnTop;
        QWidget *owner = nullptr;
        QPoint centre;
        ModalDriver driver({[&](QWidget *front) {
            auto *dialog = qobject_cast<ColorsDialog *>(front);
            QVERIFY(dialog);
            modal = dialog->isModal();
            onTop = dialog->windowFlags() & Qt::WindowStaysOnTopHint;
            owner = dialog->parentWidget();
            centre = dialog->geometry().center();
            dialog->cmdCancel->click();
        }});
        FormatFont();
        VERIFY_DRIVEN(driver);
        QVERIFY(modal);
        QCOMPARE(onTop, alwaysOnTop);
        QCOMPARE(owner, &currentWindow());
        QVERIFY((centre - currentWindow().geometry().center()).manhattanLength() <= 2);
    }

    void theRealFontAndColourDialogs()
    {
        QColor colourStartedWith;
        ModalDriver driver({
            [](QWidget *front) {
                auto *dialog = qobject_cast<ColorsDialog *>(front);
                QVERIFY(dialog);
                dialog->cmdSetDef->click();
            },
            [](QWidget *front) {
                auto *fonts = qobject_cast<QFontDialog *>(front);
                QVERIFY2(fonts, front->metaObject()->className());
                QFont chosen(QStringLiteral("DejaVu Sans Mono"));
                chosen.setPointSize(12);
                chosen.setBold(true);
                chosen.setUnderline(true);
                fonts->setCurrentFont(chosen);
                fonts->accept();
            },
            [](QWidget *front) {
                auto *colours = qobject_cast<QColorDialog *>(front);
                QVERIFY2(colours, front->metaObject()->className());
                colours->setCurrentColor(QColor(200, 10, 20));
                colours->accept();
            },
            [&](QWidget *front) {
                auto *dialog = qobject_cast<ColorsDialog *>(front);
                QVERIFY(dialog);
                QTest::mouseClick(dialog->paletteSwatches[4], Qt::LeftButton);
            },
            [&](QWidget *front) {
                auto *colours = qobject_cast<QColorDialog *>(front);
                QVERIFY2(colours, front->metaObject()->className());
                colourStartedWith = colours->currentColor();
                colours->setCurrentColor(QColor(1, 2, 3));
                colours->accept();
            },
            [](QWidget *front) {
                auto *dialog = qobject_cast<ColorsDialog *>(front);
                QVERIFY(dialog);
                dialog->cmdOK->click();
            },
        });
        FormatFont();
        VERIFY_DRIVEN(driver);
        QCOMPARE(colourStartedWith, QColor(175, 0, 0));
        QCOMPARE(stored(Fonts, "DefFontName"), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(stored(Fonts, "DefFontSize"), QStringLiteral("12"));
        QCOMPARE(stored(Fonts, "DefBold"), QStringLiteral("True"));
        QCOMPARE(stored(Fonts, "DefUnderline"), QStringLiteral("True"));
        QCOMPARE(stored(Fonts, "DefColor"), QString::number(200 + 256 * 10 + 65536 * 20));
        QCOMPARE(App.Palette[4].Color, 1 + 256 * 2 + 65536 * 3);
        RichTextBox &editor = *App.CurrentRichTextBox;
        QCOMPARE(editor.SelFontName(), QStringLiteral("DejaVu Sans Mono"));
        QVERIFY(editor.SelBold());
    }
};

SCRIVLET_TEST_MAIN(ColoursTest)

#include "tst_colours.moc"
