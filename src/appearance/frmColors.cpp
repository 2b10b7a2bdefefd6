#include "appearance/frmColors.h"

#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "appearance/ColorSwatch.h"
#include "appearance/FontSettings.h"
#include "appearance/style/SelectionStyle.h"
#include "editor/EditorWindow.h"
#include "platform/RuntimeError.h"
#include "platform/dialogs/CommonDialog.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/TopMost.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>

#include <cmath>

namespace {

// Which style a sample word shows: the default style, the Hypertext style or
// a palette style by its index.
constexpr int DefaultStyle = -2;
constexpr int HyperTextStyle = -1;

struct SampleWord
{
    int start;
    int length;
    int style;
};

// The sample words of the preview (a line break counts as two positions).
// Lines 5 to 12 show palette column k - 5: the first word in the Plain row's
// style, the second in the Bold row's.
constexpr std::array<SampleWord, 18> SampleWords = {{
    {0, 12, DefaultStyle},
    {14, 14, HyperTextStyle},
    {50, 4, 0},
    {59, 4, 1},
    {68, 5, 2},
    {77, 5, 3},
    {86, 3, 4},
    {95, 3, 5},
    {104, 6, 6},
    {113, 6, 7},
    {122, 5, 8},
    {131, 5, 9},
    {140, 4, 10},
    {149, 4, 11},
    {158, 4, 12},
    {167, 4, 13},
    {176, 7, 14},
    {185, 7, 15},
}};

// The swatch of each palette style, with the style's index.
constexpr std::array<const char *, PaletteSize> SwatchNames = {
    "ptrGray",   "ptrBGray",  "ptrBlack",   "ptrBBlack",   "ptrRed",  "ptrBRed",
    "ptrOrange", "ptrYellow", "ptrGreen",   "ptrBGreen",   "ptrCyan", "ptrBCyan",
    "ptrBlue",   "ptrBBlue",  "ptrMagenta", "ptrBMagenta",
};

constexpr int PlainRow = 0;
constexpr int BoldRow = 1;

// The colour a palette swatch is named by for assistive technology: its
// name without "ptr" and, in the Bold row, without the "B" of bold.
QString swatchColorName(int index)
{
    QString name = QLatin1String(SwatchNames[std::size_t(index)]).mid(3);
    if (index % 2 == BoldRow && name.size() > 1 && name.at(0) == QLatin1Char('B')
        && name.at(1).isUpper())
        name.remove(0, 1);
    return name;
}

// A common dialog shown with its errors passed over: false only when the
// user cancelled it. Any other failure leaves the values the control holds,
// and those are taken.
bool showTrapped(CommonDialog &dialog, void (CommonDialog::*show)())
{
    try {
        (dialog.*show)();
        return true;
    } catch (const RuntimeError &error) {
        return error.Number() != ErrCancel;
    }
}

// The point size the font dialog gave, in whole points (halves to the even
// one), at least 1 point.
qint16 wholePoints(float size)
{
    const double rounded = std::nearbyint(double(size));
    return qint16(qBound(1.0, std::isnan(rounded) ? 1.0 : rounded, 32767.0));
}

} // namespace

QString colorsSampleText()
{
    const char *const lines[] = {
        "Default Text",     "HyperText Link",   "",
        "                ", "Gray     Gray   ", "Black    Black  ",
        "Red      Red    ", "Yellow   Yellow ", "Green    Green  ",
        "Cyan     Cyan   ", "Blue     Blue   ", "Magenta  Magenta",
    };
    QString text;
    for (const char *line : lines)
        text += QLatin1String(line) + QLatin1String("\r\n");
    return text;
}

ColorsDialog::ColorsDialog(QWidget *owner)
    : ToolDialog(owner, "frmColors", QStringLiteral("Colors"), 5595, 3060)
{
    lblBackground = addControl<QLabel>("lblBackground", 120, 120, 1095, 255);
    ptrBackground = addControl<ColorSwatch>("ptrBackground", 1200, 120, 255, 255);
    lblHyperText = addControl<QLabel>("lblHyperText", 1560, 120, 855, 255);
    cmdSetHpyr = addControl<QPushButton>("cmdSetHpyr", 2520, 120, 495, 255);
    lblDefault = addControl<QLabel>("lblDefault", 120, 480, 975, 255);
    cmdSetDef = addControl<QPushButton>("cmdSetDef", 1080, 480, 495, 255);
    cmdRestore = addControl<QPushButton>("cmdRestore", 1680, 480, 1335, 255);
    fraPlain = addControl<QGroupBox>("fraPlain", 120, 840, 2895, 615);
    fraBold = addControl<QGroupBox>("fraBold", 120, 1560, 2895, 615);
    lblInstructions = addControl<QLabel>("lblInstructions", 480, 2280, 2295, 255);
    cmdOK = addControl<QPushButton>("cmdOK", 120, 2640, 1335, 375);
    cmdCancel = addControl<QPushButton>("cmdCancel", 1680, 2640, 1335, 375);
    rtbColors = addControl<RichTextBox>("rtbColors", 3120, 120, 2415, 2895);
    CommonDialog1 = new CommonDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));

    // The rows: the Font button, then a swatch a column, inside the frame.
    const auto buildRow = [this](QGroupBox *frame, int row) {
        auto *font = new QPushButton(QStringLiteral("Font"), frame);
        font->setObjectName(QLatin1String(row == PlainRow ? "cmdPlainFont" : "cmdBoldFont"));
        placeInTwips(*font, 120, 240, 495, 255);
        for (int column = 0; column < PaletteSize / 2; ++column) {
            const int index = 2 * column + row;
            auto *swatch = new ColorSwatch(frame);
            swatch->setObjectName(QLatin1String(SwatchNames[std::size_t(index)]));
            swatch->setAccessibleName(swatchColorName(index));
            placeInTwips(*swatch, 840 + 240 * column, 240, 255, 255);
            connect(swatch, &ColorSwatch::Click, this,
                    [this, index] { paletteSwatch_Click(index); });
            paletteSwatches[std::size_t(index)] = swatch;
        }
        connect(font, &QPushButton::clicked, this, [this, row] { rowFont_Click(row); });
        return font;
    };
    cmdPlainFont = buildRow(fraPlain, PlainRow);
    cmdBoldFont = buildRow(fraBold, BoldRow);

    lblBackground->setText(QStringLiteral("Background:"));
    lblHyperText->setText(QStringLiteral("Hypertext:"));
    cmdSetHpyr->setText(QStringLiteral("Set"));
    lblDefault->setText(QStringLiteral("Default Font:"));
    cmdSetDef->setText(QStringLiteral("Set"));
    cmdRestore->setText(QStringLiteral("Restore Defaults"));
    fraPlain->setTitle(QStringLiteral("Plain"));
    fraBold->setTitle(QStringLiteral("Bold"));
    lblInstructions->setText(QStringLiteral("Click on a color above to set it."));
    cmdOK->setText(QStringLiteral("OK"));
    cmdCancel->setText(QStringLiteral("Cancel"));
    cmdCancel->setDefault(true);
    // Controls without a caption of their own, named for assistive technology.
    lblBackground->setBuddy(ptrBackground);
    rtbColors->setAccessibleName(QStringLiteral("Preview"));
    fitCaptions();

    connect(ptrBackground, &ColorSwatch::Click, this, &ColorsDialog::ptrBackground_Click);
    connect(cmdSetDef, &QPushButton::clicked, this, [this] { setStyle_Click(WorkDef); });
    connect(cmdSetHpyr, &QPushButton::clicked, this, [this] { setStyle_Click(WorkHyperText); });
    connect(cmdRestore, &QPushButton::clicked, this, &ColorsDialog::cmdRestore_Click);
    connect(cmdOK, &QPushButton::clicked, this, &ColorsDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ColorsDialog::Unload);
}

void ColorsDialog::Form_Activate()
{
    SetTopMost(this, isCurrentItemChecked("mnuAlwaysTop"));
    CopyStylesIn();
    rtbColors->setFontName(QStringLiteral("courier new"));
    showWorkColors();
    rtbColors->setSelStart(0);
    rtbColors->setSelLength(1);
    rtbColors->setSelColor(0);
    rtbColors->setText(colorsSampleText());
    RenderPreview();
}

void ColorsDialog::CopyStylesIn()
{
    WorkBackColor = App.DefaultBackColor;
    WorkHyperText = App.HyperTextStyle;
    WorkDef = App.DefStyle;
    WorkPalette = App.Palette;
}

void ColorsDialog::CopyStylesOut()
{
    App.DefaultBackColor = WorkBackColor;
    App.HyperTextStyle = WorkHyperText;
    App.DefStyle = WorkDef;
    App.Palette = WorkPalette;
}

void ColorsDialog::LoadFontDialog(const TextStyle &style)
{
    CommonDialog1->Color = style.Color;
    CommonDialog1->FontBold = style.Bold;
    CommonDialog1->FontItalic = style.Italic;
    CommonDialog1->FontName = style.FontName;
    CommonDialog1->FontSize = float(style.FontSize);
    CommonDialog1->FontStrikethru = style.StrikeThru;
    CommonDialog1->FontUnderline = style.Underline;
}

void ColorsDialog::RenderPreview()
{
    RichTextBox &box = *rtbColors;
    for (const SampleWord &word : SampleWords) {
        const TextStyle &style = word.style == DefaultStyle ? WorkDef
            : word.style == HyperTextStyle                  ? WorkHyperText
                                                            : WorkPalette[std::size_t(word.style)];
        box.setSelStart(word.start);
        box.setSelLength(word.length);
        setSelectionStyle(box, style);
    }
    box.setSelStart(box.textLength() - 2);
    box.setSelLength(0);
    // The caret at the end must not scroll the first words out of sight
    // where the font's lines are taller than the preview allows for.
    box.verticalScrollBar()->setValue(0);
}

void ColorsDialog::showWorkColors()
{
    rtbColors->setBackColor(WorkBackColor);
    ptrBackground->setBackColor(WorkBackColor);
    for (int i = 0; i < PaletteSize; ++i)
        paletteSwatches[std::size_t(i)]->setBackColor(WorkPalette[std::size_t(i)].Color);
}

void ColorsDialog::paletteSwatch_Click(int index)
{
    ColorSwatch &swatch = *paletteSwatches[std::size_t(index)];
    CommonDialog1->Color = swatch.BackColor();
    if (!colorStep(cdlCCRGBInit | cdlCCFullOpen))
        return;
    WorkPalette[std::size_t(index)].Color = CommonDialog1->Color;
    swatch.setBackColor(CommonDialog1->Color);
    RenderPreview();
}

void ColorsDialog::ptrBackground_Click()
{
    // The dialog does not start on the current background.
    if (!colorStep(cdlCCFullOpen))
        return;
    WorkBackColor = CommonDialog1->Color;
    rtbColors->setBackColor(WorkBackColor);
    ptrBackground->setBackColor(WorkBackColor);
}

void ColorsDialog::setStyle_Click(TextStyle &target)
{
    if (!fontStep(target))
        return;
    takeChosenFont(target);
    // The new font stays even when no colour is chosen; the preview shows it
    // with the next change.
    if (!colorStep(cdlCCFullOpen))
        return;
    target.Color = CommonDialog1->Color;
    RenderPreview();
}

void ColorsDialog::rowFont_Click(int row)
{
    if (!fontStep(WorkPalette[std::size_t(row)]))
        return;
    for (int index = row; index < PaletteSize; index += 2)
        takeChosenFont(WorkPalette[std::size_t(index)]);
    RenderPreview();
}

void ColorsDialog::cmdRestore_Click()
{
    if (MsgBox(QStringLiteral("Are You sure?"), vbOKCancel, AppName) != vbOK)
        return;
    // The application state itself takes the built-in values at once, also
    // when the dialog is then cancelled.
    ResetFontDefaults();
    CopyStylesIn();
    RenderPreview();
    showWorkColors();
}

void ColorsDialog::cmdOK_Click()
{
    CopyStylesOut();
    SaveFontSettings();
    ApplyDefaultStyle();
    Unload();
}

bool ColorsDialog::fontStep(const TextStyle &source)
{
    CommonDialog1->CancelError = true;
    CommonDialog1->Flags = cdlCFScreenFonts | cdlCFPrinterFonts | cdlCFEffects;
    // The hourglass while the list of fonts is gathered, but not over the
    // font dialog itself, where the user chooses.
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        QFontDatabase::families();
        LoadFontDialog(source);
    }
    return showTrapped(*CommonDialog1, &CommonDialog::ShowFont);
}

void ColorsDialog::takeChosenFont(TextStyle &style) const
{
    style.Bold = CommonDialog1->FontBold;
    style.Italic = CommonDialog1->FontItalic;
    style.FontName = CommonDialog1->FontName;
    style.FontSize = wholePoints(CommonDialog1->FontSize);
    style.StrikeThru = CommonDialog1->FontStrikethru;
    style.Underline = CommonDialog1->FontUnderline;
}

bool ColorsDialog::colorStep(long flags)
{
    CommonDialog1->CancelError = true;
    CommonDialog1->Flags = flags;
    return showTrapped(*CommonDialog1, &CommonDialog::ShowColor);
}

void FormatFont()
{
    QPointer<ColorsDialog> dialog = new ColorsDialog(&currentWindow());
    dialog->Form_Activate();
    dialog->exec();
}
