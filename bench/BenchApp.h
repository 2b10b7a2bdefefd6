#pragma once

// Running the application in a benchmark: a temporary settings store, the
// first paint of a widget, and the end of a run.

#include <QObject>
#include <QString>

class QWidget;

namespace benchapp {

// Points the settings store at a temporary folder for the rest of the
// program.
void useTemporarySettings();

// Notes the first paint of a widget after it is armed.
class PaintWatch : public QObject
{
public:
    bool painted = false;

    void watch(QWidget *widget);
    // Runs the event loop until the widget has been painted (limitMs at most).
    void waitForPaint(int limitMs = 10000);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// A key press and release sent to widget, then the events they cause.
void pressKey(QWidget &widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString &text = QString());

// The resident memory of the process, in MiB.
long residentMiB();

// Unloads the windows as the program does, deletes them, starts the
// application state afresh and empties the store.
void endRun();

} // namespace benchapp
