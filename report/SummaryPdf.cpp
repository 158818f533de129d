#include "report/SummaryPdf.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

namespace {

using Style = SummaryLine::Style;

QFont fontFor(Style s) {
    // Point size by style, in the order the styles are declared; all but
    // the body are bold.
    constexpr qreal points[] = {16, 13, 11, 10, 10};
    QFont f(QStringLiteral("Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points[int(s)]);
    f.setBold(s != Style::Body);
    return f;
}

constexpr int Flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

struct Placed {
    const SummaryLine* line;
    QRectF box;
};

// Lines placed on pages of the writer's size, the footer's room kept free.
class Layout {
public:
    explicit Layout(QPdfWriter& w)
        : device_(w), width_(w.width()), bottom_(w.height() - footerHeight(w)),
          indent_(w.logicalDpiX() / 4.0) {}

    QList<QList<Placed>> pages(const QList<SummaryLine>& lines) {
        QList<QList<Placed>> out(1);
        qreal y = 0;
        for (const SummaryLine& l : lines) {
            const QFontMetricsF m(fontFor(l.style), &device_);
            const qreal before = l.style == Style::Body ? 0 : m.height() * 0.5;
            const qreal left = indent_ * l.indent;
            const qreal h =
                m.boundingRect(QRectF(0, 0, width_ - left, 1e9), Flags, l.text).height();
            // A heading never ends a page alone.
            const qreal keep = l.style == Style::Body ? 0 : 2 * m.height();
            if (y + before + h + keep > bottom_ && !out.last().isEmpty()) {
                out.append(QList<Placed>());
                y = 0;
            } else {
                y += out.last().isEmpty() ? 0 : before;
            }
            out.last().append({&l, QRectF(left, y, width_ - left, h)});
            y += h + m.height() * 0.15;
        }
        return out;
    }

    static qreal footerHeight(QPdfWriter& w) {
        return 2 * QFontMetricsF(fontFor(Style::Body), &w).height();
    }

private:
    QPdfWriter& device_;
    qreal width_, bottom_, indent_;
};

} // namespace

QString summaryPath(const QString& dataDir, const QString& patente, const QDateTime& madeAt) {
    return QDir(dataDir).filePath(
        QStringLiteral("Resumenes/%1 %2.pdf")
            .arg(patente, madeAt.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"))));
}

MaybeError writeSummaryPdf(const QString& path, const QList<SummaryLine>& lines,
                           const QDateTime& madeAt) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const auto failed = [&] {
        return DbError::refused(QStringLiteral("No se pudo escribir el resumen %1. Revise que la "
                                               "carpeta exista y que tenga permiso de escritura.")
                                    .arg(shown));
    };
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("Resumen del archivo de información"));
    writer.setCreator(QStringLiteral("KESTRO"));

    const QList<QList<Placed>> pages = Layout(writer).pages(lines);
    QPainter p;
    if (!p.begin(&writer))
        return failed();
    const QString made = QStringLiteral("Hecho el %1")
                             .arg(madeAt.toString(QStringLiteral("dd/MM/yyyy 'a las' HH:mm:ss")));
    const QRectF footer(0, writer.height() - Layout::footerHeight(writer) / 2, writer.width(),
                        Layout::footerHeight(writer) / 2);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0 && !writer.newPage())
            return p.end(), failed();
        for (const Placed& placed : pages[i]) {
            p.setFont(fontFor(placed.line->style));
            p.drawText(placed.box, Flags, placed.line->text);
        }
        p.setFont(fontFor(Style::Body));
        p.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, made);
        p.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Página %1 de %2").arg(i + 1).arg(pages.size()));
    }
    if (!p.end() || !QFileInfo(path).isFile())
        return failed();
    return std::nullopt;
}
