// Build-time tool: renders the window's 32 x 32 icon as a PNG of another size for the
// desktop's menus. Nearest-neighbour scaling keeps it the same drawing, pixel for pixel.
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s icon.xpm out.png size\n", argv[0]);
        return EXIT_FAILURE;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[3]);
    if (icon.isNull() || size <= 0)
        return EXIT_FAILURE;
    const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return scaled.save(QString::fromLocal8Bit(argv[2]), "PNG") ? EXIT_SUCCESS : EXIT_FAILURE;
}
