#include <QApplication>
#include <QIcon>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(":/main/resource/app.ico"));
    QLabel window(QStringLiteral("Scribbloom"));
    window.resize(240, 80);
    window.show();
    app.exec();
    return 0;
}
