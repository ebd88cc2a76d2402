#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Stands in for the main window until it exists.
    QLabel window(QStringLiteral("DTU参数配置工具"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(600, 400);
    window.show();
    return app.exec();
}
