// Renders the application icon's SVG into the PNG sizes the icon theme
// carries: render_icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]
// Built by the `icons` target; the PNGs it writes are kept in the repository.
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: render_icon ICON.svg SIZE OUT.png [SIZE OUT.png ...]\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    for (int i = 2; i + 1 < argc; i += 2) {
        const int size = std::atoi(argv[i]);
        QImageReader reader(QString::fromLocal8Bit(argv[1]));
        reader.setScaledSize(QSize(size, size));
        QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "render_icon: %s: %s\n", argv[1],
                         qPrintable(reader.errorString()));
            return 1;
        }
        image = image.convertToFormat(QImage::Format_ARGB32);
        // No time stamps or text chunks: the same SVG gives the same bytes.
        image.setText(QString(), QString());
        if (!image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
