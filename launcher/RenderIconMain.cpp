// Writes the program icon as a PNG file for the desktop entry, at build time.

#include "Artwork.h"

#include <QGuiApplication>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    return platform::recorderIcon().pixmap(size, size).save(QString::fromLocal8Bit(argv[1])) ? 0
                                                                                             : 1;
}
