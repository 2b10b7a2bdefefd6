#pragma once

#include <QFrame>

// A colour swatch of the Colours dialog: a small sunken box filled with one
// colour. It takes the keyboard focus (but not the Enter key, which goes to
// the dialog's default button) and reports a click of the left button.
class ColorSwatch : public QFrame
{
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget *parent = nullptr);

    qint32 BackColor() const { return m_color; } // packed RGB
    void setBackColor(qint32 packedRgb);

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    qint32 m_color = 0;
};
