#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class ManualWindow;
}

// The user's manual, carried inside the program and read with Qt's own
// Markdown rendering: no network, no browser. Every heading is an anchor
// named as the repository's pages name it ("página-3-representantes"), so
// the manual's links work here and there alike. Controls: txtBuscar with
// cmdAnterior and cmdSiguiente (find in the text; Enter and F3 find the
// next, Shift+F3 the one before), lblResultado, txtManual (the text),
// cmdContenido (back to the top), cmdCerrar.
class ManualWindow : public QDialog {
    Q_OBJECT
public:
    explicit ManualWindow(QWidget* parent = nullptr);
    ~ManualWindow() override;

    // Opens the manual over the window of `from` (one manual per window, so
    // that it can be read beside a modal dialog), at `section`: the top
    // when it is empty or no heading has that anchor.
    static ManualWindow* openAt(QWidget* from, const QString& section);
    void showSection(const QString& section);
    // The anchors of all the headings, in order.
    QStringList sections() const;

private:
    void anchorHeadings();
    void find(bool backward, bool fromTop = false);

    std::unique_ptr<Ui::ManualWindow> ui;
};

// The anchor of a heading: lower case, spaces as hyphens, other
// punctuation dropped ("Página 3, representantes" → "página-3-representantes").
QString headingAnchor(const QString& heading);
