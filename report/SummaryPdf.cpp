#include "report/SummaryPdf.h"

#include <QBuffer>
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
        QList<qreal> heights;
        for (const SummaryLine& l : lines)
            heights << height(l);
        qreal y = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const SummaryLine& l = lines[i];
            const qreal before = spaceBefore(l);
            // A heading (and the headings right under it) never ends a page:
            // it goes on with the first two lines of what it heads. `keep`
            // reaches the bottom of the last of them exactly as placing them
            // would, so that each heading of the group decides alike.
            qreal keep = 0;
            if (l.style != Style::Body) {
                int bodyLines = 0;
                qreal gapAbove = gap(l);
                for (qsizetype j = i + 1; j < lines.size() && bodyLines < 2; ++j) {
                    if (lines[j].style == Style::Body)
                        ++bodyLines;
                    else if (bodyLines > 0)
                        break;
                    keep += gapAbove + spaceBefore(lines[j]) + heights[j];
                    gapAbove = gap(lines[j]);
                }
            }
            if (y + before + heights[i] + keep > bottom_ && !out.last().isEmpty()) {
                out.append(QList<Placed>());
                y = 0;
            } else {
                y += out.last().isEmpty() ? 0 : before;
            }
            const qreal left = indent_ * l.indent;
            out.last().append({&l, QRectF(left, y, width_ - left, heights[i])});
            y += heights[i] + gap(l);
        }
        return out;
    }

    static qreal footerHeight(QPdfWriter& w) {
        return 2 * QFontMetricsF(fontFor(Style::Body), &w).height();
    }

private:
    qreal height(const SummaryLine& l) const {
        const qreal left = indent_ * l.indent;
        return QFontMetricsF(fontFor(l.style), &device_)
            .boundingRect(QRectF(0, 0, width_ - left, 1e9), Flags, l.text)
            .height();
    }
    qreal spaceBefore(const SummaryLine& l) const {
        return l.style == Style::Body ? 0
                                      : QFontMetricsF(fontFor(l.style), &device_).height() * 0.5;
    }
    qreal gap(const SummaryLine& l) const {
        return QFontMetricsF(fontFor(l.style), &device_).height() * 0.15;
    }

    QPdfWriter& device_;
    qreal width_, bottom_, indent_;
};

// A4 with its margins, at the resolution the text is placed at.
void setUpPage(QPdfWriter& writer) {
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
    writer.setResolution(300);
}

} // namespace

QList<qsizetype> summaryPageStarts(const QList<SummaryLine>& lines) {
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter writer(&nowhere);
    setUpPage(writer);
    QList<qsizetype> starts;
    qsizetype line = 0;
    for (const QList<Placed>& page : Layout(writer).pages(lines)) {
        starts << line;
        line += page.size();
    }
    return starts;
}

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
    setUpPage(writer);
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
