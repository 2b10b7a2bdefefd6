#include "appearance/FontSettings.h"

#include "app/state/StoredValue.h"
#include "app/state/WindowTitle.h"
#include "app/state/modMainModule.h"
#include "appearance/style/SelectionStyle.h"
#include "platform/richtext/RichTextBox.h"

namespace {

const QString FontsSection = QStringLiteral("Fonts");

} // namespace

void ResetFontDefaults()
{
    App.DefaultBackColor = BuiltInBackColor;
    App.DefStyle = builtInDefStyle();
    App.HyperTextStyle = builtInHyperTextStyle();
    App.Palette = builtInPalette();
}

void LoadFontSettings()
{
    ResetFontDefaults();
    TextStyle &style = App.DefStyle;
    App.DefaultBackColor
        = stored::readLong(FontsSection, QStringLiteral("DefBackColor"), App.DefaultBackColor);
    style.Bold = stored::readBoolean(FontsSection, QStringLiteral("DefBold"), style.Bold);
    style.Color = stored::readLong(FontsSection, QStringLiteral("DefColor"), style.Color);
    const QString fontName
        = stored::readText(FontsSection, QStringLiteral("DefFontName"), style.FontName);
    if (!fontName.trimmed().isEmpty())
        style.FontName = fontName;
    const qint16 fontSize
        = stored::readInteger(FontsSection, QStringLiteral("DefFontSize"), style.FontSize);
    if (fontSize >= 1)
        style.FontSize = fontSize;
    style.Italic = stored::readBoolean(FontsSection, QStringLiteral("DefItalic"), style.Italic);
    style.StrikeThru
        = stored::readBoolean(FontsSection, QStringLiteral("DefStrikeThru"), style.StrikeThru);
    style.Underline
        = stored::readBoolean(FontsSection, QStringLiteral("DefUnderline"), style.Underline);

    RichTextBox &box = *App.CurrentRichTextBox;
    box.setSelStart(box.textLength());
    box.setBackColor(App.DefaultBackColor);
    box.setFontName(style.FontName);
    setSelectionStyle(box, style);
}

void SaveFontSettings()
{
    const TextStyle &style = App.DefStyle;
    const auto write = [](const char *key, const QString &text) {
        stored::write(FontsSection, QLatin1String(key), text);
    };
    write("DefBackColor", stored::fromInteger(App.DefaultBackColor));
    write("DefBold", stored::fromBoolean(style.Bold));
    write("DefColor", stored::fromInteger(style.Color));
    write("DefFontName", style.FontName);
    write("DefFontSize", stored::fromInteger(style.FontSize));
    write("DefItalic", stored::fromBoolean(style.Italic));
    write("DefStrikeThru", stored::fromBoolean(style.StrikeThru));
    write("DefUnderline", stored::fromBoolean(style.Underline));
}

void ApplyDefaultStyle()
{
    const bool wasSaved = App.IsSaved;
    RichTextBox &box = *App.CurrentRichTextBox;
    box.setBackColor(App.DefaultBackColor);
    box.setFontName(App.DefStyle.FontName);
    box.setSelStart(0);
    box.setSelLength(box.textLength());
    setSelectionStyle(box, App.DefStyle);
    box.setSelStart(0);
    App.IsSaved = wasSaved;
    UpdateTitle();
}
