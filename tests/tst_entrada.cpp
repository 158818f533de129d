// Hostile text, typed and pasted, into every entry field of the agent's
// pages: each value is either stored exactly as the field shows it or
// refused with a message, and the information file keeps its layout.
#include "entry/KeystrokeFilter.h"
#include "exchange/ArchivoInformacion.h"
#include "support/WizardDriver.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

struct Hostil {
    const char* name;
    QString text;
};

QList<Hostil> hostiles() {
    return {{"apóstrofo", QStringLiteral("O'HIGGINS")},
            {"comillas", QStringLiteral("EL \"GÜERO\"")},
            {"punto y coma", QStringLiteral("A; B")},
            {"comentario", QStringLiteral("X -- Y")},
            {"DROP TABLE", QStringLiteral("'); DROP TABLE AA; --")},
            {"separador", QStringLiteral("A|B")},
            {"CR", QStringLiteral("A\rB")},
            {"LF", QStringLiteral("A\nB")},
            {"tabulador", QStringLiteral("A\tB")},
            {"NUL", QStringLiteral("A") + QChar(0) + QStringLiteral("B")},
            {"10 000 caracteres", QString(10000, u'W')},
            {"emoji", QStringLiteral("A😀B")},
            {"CJK", QStringLiteral("中文")},
            {"acento combinado", QStringLiteral("JOSE\u0301")}};
}

// Key by key, each carrying its text.
void type(QLineEdit* field, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void paste(QLineEdit* field, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keySequence(field, QKeySequence::Paste);
}

// The number of fields of each record kind, from a file written without
// hostile values.
QMap<QByteArray, int> layoutOf(const QByteArray& file) {
    QMap<QByteArray, int> widths;
    for (const QByteArray& line : file.split('\n'))
        if (!line.isEmpty())
            widths.insert(line.left(line.indexOf('|')), int(line.count('|')));
    return widths;
}

bool sameLayout(const QByteArray& file, const QMap<QByteArray, int>& widths) {
    for (const QByteArray& line : file.split('\n')) {
        if (line.isEmpty())
            continue;
        if (!line.endsWith('\r') || line.count('\r') != 1)
            return false;
        const QByteArray tag = line.left(line.indexOf('|'));
        if (widths.value(tag, -1) != int(line.count('|')))
            return false;
    }
    return true;
}

void fillPage2(Wizard& w) {
    const QStringList offices{QStringLiteral("ACAPULCO, GRO."), QStringLiteral("AGUA PRIETA, SON."),
                              QStringLiteral("SUBTENIENTE LOPEZ, Q. ROO.")};
    for (int i = 0; i < 3; ++i) {
        w.choose(QByteArray("cmbAduana") + QByteArray::number(i + 1), offices[i]);
        w.fillAddress(QStringLiteral("V") + QString::number(i + 1));
    }
}

// Back on page 1 with valid data; on page 2 as well when asked.
void reachPage(Wizard& w, int page) {
    while (!w.pageShown("frAA"))
        w.back();
    w.fillPage1(3);
    if (page == 2) {
        w.next();
        fillPage2(w);
    }
}

} // namespace

class TstEntrada : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hostileTextIsStoredAsShownOrRefused();
};

void TstEntrada::hostileTextIsStoredAsShownOrRefused() {
    Wizard w;
    storeAgent(*w.dir.open());
    w.start();
    reachPage(w, 2);
    w.next();
    QVERIFY(w.pageShown("frApoderado"));
    auto db = w.dir.open();
    const auto clean = buildInformationFile(*db, QStringLiteral("3001"), nullptr);
    QVERIFY(clean);
    const QMap<QByteArray, int> widths = layoutOf(clean->bytes);

    QList<std::pair<int, QLineEdit*>> fields;
    for (int page : {1, 2})
        for (QLineEdit* f : w.w(page == 1 ? "frAA" : "frDirValidAA")->findChildren<QLineEdit*>())
            if (f->objectName() != QLatin1String("txtAutorizacion")) // never shown
                fields.append({page, f});
    QVERIFY(fields.size() >= 40);

    int tried = 0, held = 0, stored = 0;
    QStringList broken;
    for (const auto& [page, field] : fields)
        for (const Hostil& h : hostiles())
            for (const bool typed : {true, false}) {
                ++tried;
                reachPage(w, page);
                field->clear();
                typed ? type(field, h.text) : paste(field, h.text);
                const QString shown = field->text();
                w.script.shown.clear();
                w.next();
                const bool saved = !w.pageShown(page == 1 ? "frAA" : "frDirValidAA");
                QString why;
                if (!isSafeText(shown))
                    why = QStringLiteral("el campo muestra texto que el archivo no admite");
                else if (!saved && w.script.shown.isEmpty())
                    why = QStringLiteral("no se guardó y no se dijo por qué");
                if (saved && why.isEmpty()) {
                    ++stored;
                    w.window->Inicializa_datos();
                    const auto file = buildInformationFile(*db, QStringLiteral("3001"), &why);
                    if (field->text() != shown)
                        why = QStringLiteral("se guardó \"%1\" y se mostraba \"%2\"")
                                  .arg(field->text().left(40), shown.left(40));
                    else if (!file || !sameLayout(file->bytes, widths))
                        why = QStringLiteral("el archivo de información quedó dañado ") + why;
                }
                if (why.isEmpty())
                    ++held;
                else
                    broken << QStringLiteral("%1, %2 %3: %4")
                                  .arg(field->objectName(), QString::fromUtf8(h.name),
                                       typed ? QStringLiteral("tecleado") : QStringLiteral("pegado"),
                                       why);
            }
    qInfo("%d pares campo × entrada probados, %d resistieron (%d guardados tal como se "
          "mostraban, los demás rechazados con un mensaje)",
          tried, held, stored);
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(u'\n')));
    QVERIFY(stored > tried / 3); // most hostile text is kept, cleaned, not refused
}

QTEST_MAIN(TstEntrada)
#include "tst_entrada.moc"
