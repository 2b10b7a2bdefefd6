#pragma once

#include <QImage>
#include <QWidget>

// The picture of the About box: a small pixel-art figure on a green ground,
// 55 x 36 pixels.
QImage aboutPicture();

// Shows aboutPicture() over the whole widget, each of its pixels a block of
// whole screen pixels wherever it can be, never blurred: sharp at every
// scale factor.
class AboutPicture : public QWidget
{
    Q_OBJECT
public:
    explicit AboutPicture(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};
