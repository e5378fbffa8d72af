#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Lumicast"));
    frame.resize(735, 564);
    frame.show();
    return QApplication::exec();
}
