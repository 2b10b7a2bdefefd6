// A build-time tool: writes the application icon as the PNG files of an icon
// theme, FOLDER/<size>x<size>/apps/NAME.png for each SIZE given, drawn by the
// code that draws it in the program.
#include "editor/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 4) {
        std::fprintf(stderr, "usage: %s FOLDER NAME SIZE...\n", argv[0]);
        return 2;
    }
    const QIcon icon = applicationIcon();
    for (const QString &sizeText : arguments.mid(3)) {
        const int size = sizeText.toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments.at(1)).arg(size);
        const QString file = folder + QLatin1Char('/') + arguments.at(2) + QStringLiteral(".png");
        // One device pixel a pixel, whatever scale the build's screen has.
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        if (size <= 0 || !QDir().mkpath(folder) || !image.save(file)) {
            std::fprintf(stderr, "%s: could not write %s\n", argv[0], qPrintable(file));
            return 1;
        }
    }
    return 0;
}
