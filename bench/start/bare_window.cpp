// The yardstick for start_time.sh: a bare Qt Widgets window with one line of
// black text, started and painted the way any Qt Widgets program is. Its first
// paint is what a Qt program cannot beat here; the program is measured against it.
//
//   bench/start/start_time.sh --name 'bare window' --colour 000000 -- build/bench/start/bare_window

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    window.setPalette(palette);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Нотоклюв"), &window));
    window.resize(780, 400);
    window.show();
    return app.exec();
}
