#pragma once

// Driving real modal dialogs and popups from a test.

#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

// Drives real modal dialogs and popups from inside the event loop they run:
// each step acts on the next one that comes to the front (a new one, or the
// one behind once the last one acted on has gone) and stays there for two
// ticks, so that a window that is in front only between one dialog and the
// next is passed over. Anything still open five seconds after the last step
// is closed and reported, so a test never hangs.
class ModalDriver : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    explicit ModalDriver(QList<Step> steps)
        : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalDriver::tick);
        m_timer.start(10);
        m_sinceProgress.start();
    }

    bool allStepsTaken() const { return m_steps.isEmpty(); }
    QString problem() const { return m_problem; }

private:
    void tick()
    {
        QWidget *front = QApplication::activePopupWidget();
        if (!front)
            front = QApplication::activeModalWidget();
        const bool settled = front == m_seenLastTick;
        m_seenLastTick = front;
        if (!m_steps.isEmpty() && front && settled && front->isVisible()
            && front != m_lastActedOn) {
            m_lastActedOn = front;
            m_sinceProgress.restart();
            // Run the step from a timer of its own: a step that brings up
            // another dialog waits in it, and this timer must go on ticking.
            QTimer::singleShot(
                0, this, [this, step = m_steps.takeFirst(), target = QPointer<QWidget>(front)] {
                    if (target)
                        step(target);
                });
            return;
        }
        if (front && m_sinceProgress.elapsed() > 5000) {
            m_problem = QStringLiteral("%1 stayed open")
                            .arg(QLatin1String(front->metaObject()->className()));
            m_sinceProgress.restart();
            front->close();
        }
    }

    QList<Step> m_steps;
    QPointer<QWidget> m_lastActedOn;
    QPointer<QWidget> m_seenLastTick;
    QTimer m_timer;
    QElapsedTimer m_sinceProgress;
    QString m_problem;
};

#define VERIFY_DRIVEN(driver) \
    do { \
        QVERIFY2((driver).problem().isEmpty(), qPrintable((driver).problem())); \
        QVERIFY2((driver).allStepsTaken(), "a dialog the test waited for did not come up"); \
    } while (false)
