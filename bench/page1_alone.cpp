// What no start-up can go below: the first page of the main window alone,
// empty, at the window's size, up to its first paint. Nothing is read, no
// list is filled; the rest of the start-up is measured against it.
//   bench_pagina1 <inicio_ns>
#include "FirstPaint.h"
#include "wizard/AgentPage.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AgentPage page;
    page.resize(792, 572);
    FirstPaint done(&page, QByteArray(argv[argc - 1]).toLongLong());
    page.show();
    return app.exec();
}
