#include "app/state/EditorLayout.h"

#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "editor/EditorWindow.h"
#include "editor/StatusPanels.h"
#include "platform/Twips.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"

void LayoutEditor()
{
    const EditorWindow &window = currentWindow();
    if (window.isMinimized())
        return;
    const QWidget &inside = *window.insideArea();
    int height = inside.height();
    if (!App.CurrentStatusBar->isHidden())
        height -= twipsToPixelsY(StatusBarHeightTwips);
    App.CurrentRichTextBox->setGeometry(0, 0, inside.width(), qMax(0, height));
}
