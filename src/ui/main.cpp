#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Pictrove"));
    window.resize(760, 560);
    window.show();
    return app.exec();
}
