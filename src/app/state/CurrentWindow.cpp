#include "app/state/CurrentWindow.h"

#include "app/state/modMainModule.h"
#include "editor/EditorForm.h"
#include "editor/EditorWindow.h"

#include <QAction>

EditorWindow &currentWindow() { return *App.CurrentForm->window(); }

QAction &currentItem(const char *name)
{
    QAction *item = currentWindow().item(QLatin1String(name));
    Q_ASSERT_X(item, "currentItem", name);
    return *item;
}

bool isCurrentItemChecked(const char *name) { return currentItem(name).isChecked(); }
