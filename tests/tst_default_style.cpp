// The default text style and background: built-in values, the section
// "Fonts", the formatting at start-up and of a whole document.

#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "appearance/FontSettings.h"

using namespace shelltest;

namespace {

const QString Fonts = QStringLiteral("Fonts");

void selectAll(RichTextBox &box)
{
    box.setSelStart(0);
    box.setSelLength(box.textLength());
}

} // namespace

class DefaultStyleTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    void palette_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("color");
        const int colors[]
            = {11513775, 16448250, 0,        6579300,  175,      255,      25850,    65535,
               44800,    65280,    11513600, 16776960, 11468800, 16711680, 11468975, 16711935};
        for (int i = 0; i < 16; ++i)
            QTest::addRow("%d", i) << i << colors[i];
    }

    void palette()
    {
        QFETCH(int, index);
        QFETCH(int, color);
        App.Palette[index].Color = 1;
        App.Palette[index].Bold = true;
        ResetFontDefaults();
        const TextStyle &swatch = App.Palette[index];
        QCOMPARE(swatch.Color, color);
        QVERIFY(!swatch.Bold && !swatch.Italic && !swatch.StrikeThru && !swatch.Underline);
        QCOMPARE(swatch.FontName, QStringLiteral("Courier New"));
        QCOMPARE(swatch.FontSize, qint16(9));
    }

    void builtInStyles()
    {
        App.DefStyle.FontName = QStringLiteral("Arial");
        App.HyperTextStyle.Italic = false;
        App.DefaultBackColor = 5;
        ResetFontDefaults();

        QCOMPARE(App.DefaultBackColor, 16777215);
        TextStyle plain;
        QCOMPARE(App.DefStyle, plain);
        TextStyle hyperText;
        hyperText.Color = 16711680;
        hyperText.Italic = true;
        hyperText.Underline = true;
        QCOMPARE(App.HyperTextStyle, hyperText);
    }

    void firstStartFormatsTheInsertionPoint()
    {
        start();
        RichTextBox &box = *App.CurrentRichTextBox;
        QCOMPARE(box.BackColor(), 16777215);
        QCOMPARE(box.FontName(), QStringLiteral("Courier New"));
        QCOMPARE(box.SelFontName(), QStringLiteral("Courier New"));
        QCOMPARE(box.SelFontSize(), 9.0f);
        QCOMPARE(box.SelColor(), 0);
        QVERIFY(!box.SelBold() && !box.SelItalic() && !box.SelStrikeThru() && !box.SelUnderline());
        QVERIFY2(storedKeys(Fonts).isEmpty(), "nothing is written to Fonts");
    }

    void storedStyleFormatsWhatIsTyped()
    {
        store(Fonts, QStringLiteral("DefBold"), QStringLiteral("True"));
        store(Fonts, QStringLiteral("DefItalic"), QStringLiteral("True"));
        store(Fonts, QStringLiteral("DefColor"), QStringLiteral("255"));
        store(Fonts, QStringLiteral("DefFontName"), QStringLiteral("DejaVu Sans"));
        store(Fonts, QStringLiteral("DefFontSize"), QStringLiteral("14"));
        store(Fonts, QStringLiteral("DefBackColor"), QStringLiteral("65535"));
        start();
        RichTextBox &box = focusEditor();
        QTest::keyClicks(&box, QStringLiteral("typed"));
        selectAll(box);

        QVERIFY(App.DefStyle.Bold);
        QVERIFY(box.SelBold());
        QVERIFY(box.SelItalic());
        QVERIFY(!box.SelUnderline());
        QCOMPARE(box.SelColor(), 255);
        QCOMPARE(box.SelFontName(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(box.SelFontSize(), 14.0f);
        QCOMPARE(box.BackColor(), 65535);
        QCOMPARE(box.FontName(), QStringLiteral("DejaVu Sans"));
    }

    void unusableStoredValuesKeepTheBuiltInOnes_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("DefFontSize big") << "DefFontSize"
                                         << "big";
        QTest::newRow("DefFontSize 0") << "DefFontSize"
                                       << "0";
        QTest::newRow("DefFontSize -3") << "DefFontSize"
                                        << "-3";
        QTest::newRow("DefFontSize beyond 16 bits") << "DefFontSize"
                                                    << "40000";
        QTest::newRow("DefColor red") << "DefColor"
                                      << "red";
        QTest::newRow("DefColor beyond 32 bits") << "DefColor"
                                                 << "99999999999";
        QTest::newRow("DefBackColor empty") << "DefBackColor"
                                            << "";
        QTest::newRow("DefBold maybe") << "DefBold"
                                       << "maybe";
        QTest::newRow("DefUnderline yes") << "DefUnderline"
                                          << "yes";
        QTest::newRow("DefFontName empty") << "DefFontName"
                                           << "";
    }

    void unusableStoredValuesKeepTheBuiltInOnes()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        store(Fonts, key, value);
        start();
        QCOMPARE(App.DefStyle, TextStyle());
        QCOMPARE(App.DefaultBackColor, 16777215);
        QCOMPARE(App.CurrentRichTextBox->SelFontSize(), 9.0f);
    }

    void storedNumbersAndFlagsAreRead_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("strikeThru");
        QTest::newRow("negative colour") << "DefColor"
                                         << "-16777216" << -16777216 << 9 << false;
        QTest::newRow("size with blanks") << "DefFontSize"
                                          << " 12 " << 0 << 12 << false;
        QTest::newRow("size with a fraction") << "DefFontSize"
                                              << "10.5" << 0 << 10 << false;
        QTest::newRow("flag in lower case") << "DefStrikeThru"
                                            << "true" << 0 << 9 << true;
        QTest::newRow("flag as a number") << "DefStrikeThru"
                                          << "-1" << 0 << 9 << true;
    }

    void storedNumbersAndFlagsAreRead()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(int, color);
        QFETCH(int, size);
        QFETCH(bool, strikeThru);
        store(Fonts, key, value);
        start();
        QCOMPARE(App.DefStyle.Color, color);
        QCOMPARE(int(App.DefStyle.FontSize), size);
        QCOMPARE(App.DefStyle.StrikeThru, strikeThru);
    }

    void saveWritesTheEightKeys()
    {
        start();
        App.DefaultBackColor = 12345;
        App.DefStyle.Color = -5;
        App.DefStyle.Bold = true;
        App.DefStyle.Underline = true;
        App.DefStyle.FontName = QStringLiteral("Liberation Serif");
        App.DefStyle.FontSize = 11;
        App.HyperTextStyle.Bold = true;
        App.Palette[3].Color = 77;
        SaveFontSettings();

        QStringList keys = storedKeys(Fonts);
        keys.sort();
        QCOMPARE(keys,
                 QStringList({"DefBackColor", "DefBold", "DefColor", "DefFontName", "DefFontSize",
                              "DefItalic", "DefStrikeThru", "DefUnderline"}));
        QCOMPARE(stored(Fonts, QStringLiteral("DefBackColor")), QStringLiteral("12345"));
        QCOMPARE(stored(Fonts, QStringLiteral("DefBold")), QStringLiteral("True"));
        QCOMPARE(stored(Fonts, QStringLiteral("DefColor")), QStringLiteral("-5"));
        QCOMPARE(stored(Fonts, QStringLiteral("DefFontName")), QStringLiteral("Liberation Serif"));
        QCOMPARE(stored(Fonts, QStringLiteral("DefFontSize")), QStringLiteral("11"));
        QCOMPARE(stored(Fonts, QStringLiteral("DefItalic")), QStringLiteral("False"));
        QCOMPARE(stored(Fonts, QStringLiteral("DefStrikeThru")), QStringLiteral("False"));
        QCOMPARE(stored(Fonts, QStringLiteral("DefUnderline")), QStringLiteral("True"));
    }

    void savedStyleComesBackAtTheNextStart()
    {
        TextStyle style;
        style.Color = 44800;
        style.Italic = true;
        style.StrikeThru = true;
        style.FontName = QStringLiteral("DejaVu Serif");
        style.FontSize = 16;
        App.DefStyle = style;
        App.DefaultBackColor = 6579300;
        SaveFontSettings();
        endRunKeepingTheStore();

        start();
        QCOMPARE(App.DefStyle, style);
        QCOMPARE(App.DefaultBackColor, 6579300);
    }

    void applyDefaultStyleKeepsTheSavedState_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("caption");
        QTest::newRow("saved") << true << "Untitled - Scrivlet";
        QTest::newRow("unsaved changes") << false << "Untitled* - Scrivlet";
    }

    void applyDefaultStyleKeepsTheSavedState()
    {
        QFETCH(bool, saved);
        QFETCH(QString, caption);
        EditorWindow &window = start();
        RichTextBox &box = *App.CurrentRichTextBox;
        box.setText(QStringLiteral("one two three"));
        box.setSelStart(4);
        box.setSelLength(3);
        box.setSelBold(true);
        box.setSelColor(255);
        box.setSelStart(9);
        App.IsSaved = saved;
        App.DefStyle.Underline = true;
        App.DefStyle.FontSize = 12;
        App.DefaultBackColor = 11513775;

        ApplyDefaultStyle();

        QCOMPARE(App.IsSaved, saved);
        QCOMPARE(window.windowTitle(), caption);
        QCOMPARE(box.SelStart(), 0);
        QCOMPARE(box.SelLength(), 0);
        QCOMPARE(box.BackColor(), 11513775);
        QCOMPARE(box.Text(), QStringLiteral("one two three"));
        for (const int start : {0, 4, 8}) {
            box.setSelStart(start);
            box.setSelLength(3);
            QVERIFY(!box.SelBold());
            QVERIFY(box.SelUnderline());
            QCOMPARE(box.SelColor(), 0);
            QCOMPARE(box.SelFontSize(), 12.0f);
        }
    }

    void applyDefaultStyleOnAnEmptyDocument()
    {
        EditorWindow &window = start();
        RichTextBox &box = *App.CurrentRichTextBox;
        App.DefStyle.Bold = true;
        App.DefStyle.Color = 175;
        App.DefaultBackColor = 65535;

        ApplyDefaultStyle();

        QCOMPARE(box.Text(), QString());
        QVERIFY(App.IsSaved);
        QCOMPARE(window.windowTitle(), QStringLiteral("Untitled - Scrivlet"));
        QCOMPARE(box.BackColor(), 65535);
        QVERIFY(box.SelBold());
        QCOMPARE(box.SelColor(), 175);
        QVERIFY(storedKeys(Fonts).isEmpty());
    }
};

SCRIVLET_TEST_MAIN(DefaultStyleTest)
#include "tst_default_style.moc"
