#include "appearance/AboutPicture.h"

#include <QPainter>

#include <iterator>

namespace {

constexpr int PictureWidth = 55;
constexpr int PictureHeight = 36;

// The left half of the figure and its middle column, one letter a pixel; the
// right half mirrors it. '.' lets the ground show.
constexpr const char *FigureLeftHalf[] = {
    ".....kkk", "....khhh", "...khhhh", "...khsss", "...kswks", "...kssss", "....ksrr", ".....kss",
    "......kk", "...kkbbb", "..kbbbbb", ".kbkbbbb", ".kbkbbbb", ".kbkbbbb", ".kskbbbb", "..k.kbbb",
    "....kppp", "....kppp", "....kppk", "....kppk", "....kppk", "...kkkk.", "...kkkk.",
};
constexpr int FigureRows = int(std::size(FigureLeftHalf));
constexpr int FigureHalf = 8;
constexpr int FigureWidth = 2 * FigureHalf - 1;

QColor figureColor(char letter)
{
    switch (letter) {
    case 'k': return QColor(0x20, 0x20, 0x20); // outline, shoes
    case 'h': return QColor(0x7a, 0x48, 0x1c); // hair
    case 's': return QColor(0xf2, 0xc2, 0x94); // skin
    case 'w': return QColor(0xff, 0xff, 0xff); // eyes
    case 'r': return QColor(0xc0, 0x30, 0x30); // mouth
    case 'b': return QColor(0x30, 0x60, 0xd0); // shirt
    case 'p': return QColor(0x40, 0x40, 0x60); // trousers
    default: return QColor();
    }
}

} // namespace

QImage aboutPicture()
{
    QImage picture(PictureWidth, PictureHeight, QImage::Format_RGB32);
    const QColor ground(0x2e, 0x9a, 0x3c);
    const QColor grass(0x1f, 0x73, 0x2b);
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x)
            picture.setPixelColor(x, y, y >= 31 && (x + y) % 3 == 0 ? grass : ground);
    }

    const int left = (PictureWidth - FigureWidth) / 2;
    const int top = (PictureHeight - FigureRows) / 2;
    for (int row = 0; row < FigureRows; ++row) {
        for (int column = 0; column < FigureWidth; ++column) {
            const int mirrored = column < FigureHalf ? column : FigureWidth - 1 - column;
            const QColor color = figureColor(FigureLeftHalf[row][mirrored]);
            if (color.isValid())
                picture.setPixelColor(left + column, top + row, color);
        }
    }
    return picture;
}

AboutPicture::AboutPicture(QWidget *parent)
    : QWidget(parent)
    , m_picture(aboutPicture())
{
}

void AboutPicture::paintEvent(QPaintEvent *)
{
    // Without smoothing the picture is scaled by repeating its pixels.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), m_picture);
}
