// The anchor of the start-up: the smallest Qt program that paints a window
// with one line of text.   bench_una_linea <inicio_ns>
#include "FirstPaint.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("KESTRO 3.5"));
    FirstPaint done(&label, QByteArray(argv[argc - 1]).toLongLong());
    label.show();
    return app.exec();
}
