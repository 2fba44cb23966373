// The toolkit's floor for start-up figures: a bare Qt window showing one label.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Dienstag, 8.12.2026 14:30"));
    label.setWindowTitle(QStringLiteral("Floor"));
    label.resize(355, 353);
    label.show();
    return QApplication::exec();
}
