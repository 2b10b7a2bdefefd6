#include "app/state/WindowTitle.h"

#include "app/state/CurrentWindow.h"
#include "app/state/EditorLayout.h"
#include "app/state/modMainModule.h"
#include "editor/EditorWindow.h"

void UpdateTitle()
{
    const QString mark = App.IsSaved ? QString() : QStringLiteral("*");
    setCaption(currentWindow(), App.FileTitle + mark + CaptionEnd);
    LayoutEditor();
}

void markDocumentModified()
{
    if (App.IsSaved) {
        App.IsSaved = false;
        UpdateTitle();
    }
}

void setCaption(QWidget &window, const QString &caption)
{
    // Qt reads "[*]" in a title as the place of its own modified mark, and
    // "[*][*]" as the text "[*]".
    QString title = caption;
    title.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    window.setWindowTitle(title);
}
