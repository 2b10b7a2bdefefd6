#pragma once

#include "appearance/style/TextStyle.h"
#include "editor/ToolDialog.h"

#include <array>

class ColorSwatch;
class CommonDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class RichTextBox;

// The Colours dialog frmColors: the background colour, the default style, the
// Hypertext style and the sixteen palette styles, edited on a working copy of
// the application state and previewed on sample words. OK stores the default
// style and background and formats the whole document with them; Cancel and
// the close box drop the working copy. Enter means Cancel (unless the focused
// control takes it); Esc does nothing.
class ColorsDialog : public ToolDialog
{
    Q_OBJECT
public:
    explicit ColorsDialog(QWidget *owner);

    // Run once as the dialog opens: top-most exactly while the editor
    // window's Always On Top is checked, a fresh working copy, the swatches
    // and the preview built from it.
    void Form_Activate();

    // The working copy from the application state, and back.
    void CopyStylesIn();
    void CopyStylesOut();
    // Sets up the font dialog to start on style.
    void LoadFontDialog(const TextStyle &style);
    // Gives each sample word of the preview the style it shows.
    void RenderPreview();

    // The working copy.
    qint32 WorkBackColor = 0;
    TextStyle WorkHyperText;
    TextStyle WorkDef;
    TextStylePalette WorkPalette;

    QLabel *lblBackground;
    ColorSwatch *ptrBackground;
    QLabel *lblHyperText;
    QPushButton *cmdSetHpyr;
    QLabel *lblDefault;
    QPushButton *cmdSetDef;
    QPushButton *cmdRestore;
    QGroupBox *fraPlain;
    QPushButton *cmdPlainFont;
    QGroupBox *fraBold;
    QPushButton *cmdBoldFont;
    QLabel *lblInstructions;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
    RichTextBox *rtbColors;
    CommonDialog *CommonDialog1;
    // The swatch of each palette style, by the style's index: the even ones
    // in the Plain row, the odd ones in the Bold row.
    std::array<ColorSwatch *, PaletteSize> paletteSwatches{};

private:
    void showWorkColors();
    void paletteSwatch_Click(int index);
    void ptrBackground_Click();
    // cmdSetDef and cmdSetHpyr: a font, then a colour, for target.
    void setStyle_Click(TextStyle &target);
    // cmdPlainFont and cmdBoldFont: a font for every style of a row.
    void rowFont_Click(int row);
    void cmdRestore_Click();
    void cmdOK_Click();

    // The font dialog, started on source; false when cancelled.
    bool fontStep(const TextStyle &source);
    // Puts the font chosen into style; its colour stays.
    void takeChosenFont(TextStyle &style) const;
    // The colour dialog with these flags; false when cancelled.
    bool colorStep(long flags);
};

// The twelve lines of the preview, each ended by CR LF.
QString colorsSampleText();

// Opens the Colours dialog, modal and owned by the current editor window, and
// returns when it is closed.
void FormatFont();
