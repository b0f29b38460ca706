// Writes the program's window icon as a PNG file, so that the desktop shows
// the very picture the windows carry.

#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>

#include "ui/app_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argc > 0 ? argv[0] : "export_icon");
        return 2;
    }
    // Run as root without a runtime directory, Qt warns on every start; a
    // private one keeps the build log clean.
    QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QGuiApplication app(argc, argv);
    // Device pixel ratio 1 whatever scale the environment asks for: the
    // hicolor 32x32 directory wants exactly 32 x 32 pixels.
    const QImage image = ui::AppIcon().pixmap(QSize(32, 32), 1.0).toImage();
    if (image.size() != QSize(32, 32)) {
        std::fprintf(stderr, "export_icon: icon is %dx%d, not 32x32\n", image.width(), image.height());
        return 1;
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "export_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
