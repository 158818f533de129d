#include "data/Dates.h"

#include <QDate>
#include <QRegularExpression>

#include "data/Database.h"

std::optional<QString> isoFromDisplayDate(const QString& ddmmyyyy) {
    static const QRegularExpression form(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{4})$"));
    const auto m = form.match(ddmmyyyy);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!d.isValid())
        return std::nullopt;
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString displayFromIsoDate(const QVariant& iso) {
    const QString t = textOf(iso);
    const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : t;
}

namespace {

// yyyy-mm-dd written with digits: already the file's form, whatever the date.
bool hasIsoShape(QStringView t) {
    if (t.size() != 10 || t[4] != u'-' || t[7] != u'-')
        return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (t[i] < u'0' || t[i] > u'9')
            return false;
    return true;
}

} // namespace

bool isIsoDate(QStringView t) {
    return hasIsoShape(t) &&
           QDate::isValid(t.first(4).toInt(), t.sliced(5, 2).toInt(), t.sliced(8, 2).toInt());
}

std::optional<QString> normalisedIsoDate(QStringView t) {
    if (isIsoDate(t))
        return t.toString();
    const QDate d = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        return std::nullopt;
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString fileDateFromIso(const QVariant& iso) {
    const QString t = textOf(iso);
    if (hasIsoShape(t))
        return t;
    return normalisedIsoDate(t).value_or(t);
}

std::optional<DbError> bindDisplayDate(const QString& ddmmyyyy, QVariant* out) {
    const auto iso = isoFromDisplayDate(ddmmyyyy);
    if (!iso)
        return DbError::refused(
            QStringLiteral("La fecha \"%1\" no es válida (use dd/mm/aaaa).").arg(ddmmyyyy));
    *out = *iso;
    return std::nullopt;
}
