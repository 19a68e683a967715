// draw_command_image: writes the 16 x 16 image of the add-in's command, a
// small Gantt chart, as a Windows bitmap.
//
//   draw_command_image OUT.bmp
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdio>

namespace {

// One character a pixel: a sheet with a timeline row, three bars and the
// link between the first two.
constexpr const char* kPixels[16] = {
    "                ",
    " ############## ",
    " #hhhhhhhhhhhh# ",
    " #hhhhhhhhhhhh# ",
    " #............# ",
    " #.BBBBB......# ",
    " #.BbbbB......# ",
    " #.BBBBBk.....# ",
    " #.....kBBBBB.# ",
    " #.....kBbbbB.# ",
    " #......BBBBB.# ",
    " #............# ",
    " #...BBBBBBB..# ",
    " #...BbbbbbB..# ",
    " #...BBBBBBB..# ",
    " ############## ",
};

QColor ColorOf(char pixel)
{
    switch (pixel) {
    case '#': return QColor(96, 96, 96);
    case 'h': return QColor(192, 192, 192);
    case '.': return QColor(255, 255, 255);
    case 'B': return QColor(0, 64, 160);
    case 'b': return QColor(96, 160, 240);
    case 'k': return QColor(0, 0, 0);
    default: return QColor(212, 208, 200);  // the tool bar's face
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("Usage: draw_command_image OUT.bmp\n", stderr);
        return 2;
    }
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) image.setPixelColor(x, y, ColorOf(kPixels[y][x]));
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]), "BMP")) {
        std::fprintf(stderr, "draw_command_image: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
