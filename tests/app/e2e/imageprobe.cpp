// Prints an image's size and the RGBA values of the requested pixels, so the
// end-to-end scripts can check files and clipboard contents the program wrote.
// usage: e2e_imageprobe FILE x,y [x,y ...]
#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QStringList>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2) {
        err << "usage: e2e_imageprobe FILE x,y ...\n";
        return 2;
    }
    const QImage image(args.at(1));
    if (image.isNull()) {
        err << "not a readable image: " << args.at(1) << "\n";
        return 1;
    }
    out << image.width() << " " << image.height() << "\n";
    for (int i = 2; i < args.size(); ++i) {
        const QStringList xy = args.at(i).split(',');
        const int x = xy.value(0).toInt();
        const int y = xy.value(1).toInt();
        if (!image.valid(x, y)) {
            err << "outside the image: " << args.at(i) << "\n";
            return 1;
        }
        const QColor c = image.pixelColor(x, y);
        out << x << "," << y << " " << c.red() << " " << c.green() << " " << c.blue() << " " << c.alpha() << "\n";
    }
    return 0;
}
