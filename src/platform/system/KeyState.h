#pragma once

#include <QObject>

// The state of the Insert, Caps Lock and Num Lock keys, for the status bar.
// Insert is toggled by the rich-text control (on while it overwrites); Caps
// and Num Lock are read from the platform where it tells them (X11, Windows)
// and stay off elsewhere.
class KeyState : public QObject
{
    Q_OBJECT
public:
    static KeyState &instance();

    bool insertToggled() const { return m_insert; }
    void setInsertToggled(bool on);
    bool capsLock() const { return m_caps; }
    bool numLock() const { return m_num; }

    // Reads Caps Lock and Num Lock from the platform again.
    void refresh();

signals:
    void changed();

private:
    KeyState();
    bool eventFilter(QObject *watched, QEvent *event) override;

    bool m_insert = false;
    bool m_caps = false;
    bool m_num = false;
};
