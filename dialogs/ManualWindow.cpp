#include "dialogs/ManualWindow.h"

#include "entry/ScreenFit.h"
#include "ui_ManualWindow.h"

#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>

namespace {
const QUrl ManualSource(QStringLiteral("qrc:/manual/manual.md"));
}

QString headingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.trimmed().toLower())
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            anchor += c;
        else if (c.isSpace())
            anchor += u'-';
    return anchor;
}

ManualWindow::ManualWindow(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ManualWindow>()) {
    ui->setupUi(this);
    ui->txtManual->setSource(ManualSource, QTextDocument::MarkdownResource);
    anchorHeadings();
    connect(ui->txtBuscar, &QLineEdit::textEdited, this, [this] { find(false, true); });
    connect(ui->txtBuscar, &QLineEdit::returnPressed, this, [this] { find(false); });
    connect(ui->cmdSiguiente, &QPushButton::clicked, this, [this] { find(false); });
    connect(ui->cmdAnterior, &QPushButton::clicked, this, [this] { find(true); });
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this,
            [this] { find(false); });
    connect(new QShortcut(QKeySequence::FindPrevious, this), &QShortcut::activated, this,
            [this] { find(true); });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, ui->txtBuscar,
            [this] { ui->txtBuscar->setFocus(), ui->txtBuscar->selectAll(); });
    connect(ui->cmdContenido, &QPushButton::clicked, this, [this] { showSection({}); });
    connect(ui->cmdCerrar, &QPushButton::clicked, this, &QDialog::close);
}

ManualWindow::~ManualWindow() = default;

// Qt's Markdown reader gives headings no anchors: each gets the one the
// manual's links use.
void ManualWindow::anchorHeadings() {
    for (QTextBlock b = ui->txtManual->document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0)
            continue;
        QTextCursor c(b);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat anchor;
        anchor.setAnchor(true);
        anchor.setAnchorNames({headingAnchor(b.text())});
        c.mergeCharFormat(anchor);
    }
}

QStringList ManualWindow::sections() const {
    QStringList all;
    for (QTextBlock b = ui->txtManual->document()->begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() > 0)
            all << headingAnchor(b.text());
    return all;
}

void ManualWindow::showSection(const QString& section) {
    ui->txtManual->verticalScrollBar()->setValue(0);
    if (!section.isEmpty())
        ui->txtManual->scrollToAnchor(section);
}

// Finds the text typed, wrapping round at the end (or the start); says so
// when the manual does not hold it.
void ManualWindow::find(bool backward, bool fromTop) {
    const QString text = ui->txtBuscar->text();
    QTextBrowser* browser = ui->txtManual;
    if (fromTop)
        browser->moveCursor(QTextCursor::Start);
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool found = !text.isEmpty() && browser->find(text, flags);
    if (!found && !text.isEmpty()) {
        browser->moveCursor(backward ? QTextCursor::End : QTextCursor::Start);
        found = browser->find(text, flags);
    }
    ui->lblResultado->setText(found || text.isEmpty() ? QString()
                                                      : QStringLiteral("No se encontró"));
}

ManualWindow* ManualWindow::openAt(QWidget* from, const QString& section) {
    QWidget* window = from ? from->window() : nullptr;
    auto* manual = qobject_cast<ManualWindow*>(window);
    if (!manual && window)
        manual = window->findChild<ManualWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!manual) {
        manual = new ManualWindow(window);
        manual->setAttribute(Qt::WA_DeleteOnClose);
        placeOnScreen(manual);
    }
    manual->show();
    manual->showSection(section);
    manual->raise();
    manual->activateWindow();
    return manual;
}
