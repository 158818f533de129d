#include "rules/TypedDate.h"

namespace {
bool isSeparator(QChar c) {
    return c == u'/' || c == u'-' || c == u'.';
}
} // namespace

bool TypedDate::take(QChar c) {
    if (isSeparator(c)) {
        if (justFilled_) { // the part already ended by itself
            justFilled_ = false;
            typed_ += c;
            return true;
        }
        if (part_ == Done || part_ == Year || parts_[part_].isEmpty())
            return false;
        part_ = Part(part_ + 1);
        typed_ += c;
        return true;
    }
    if (c < u'0' || c > u'9' || part_ == Done)
        return false;
    justFilled_ = false;
    parts_[part_] += c;
    typed_ += c;
    if (parts_[part_].size() == width(part_)) {
        part_ = Part(part_ + 1);
        justFilled_ = true;
    }
    return true;
}

QDate TypedDate::applyTo(QDate before) const {
    const QString& y = parts_[Year];
    if (!y.isEmpty() && y.size() != 4)
        return {};
    const auto value = [](const QString& typed, int kept) {
        return typed.isEmpty() ? kept : typed.toInt();
    };
    return QDate(value(y, before.year()), value(parts_[Month], before.month()),
                 value(parts_[Day], before.day()));
}

QDate TypedDate::parse(const QString& text) {
    TypedDate date;
    for (QChar c : text.trimmed())
        if (!date.take(c))
            return {};
    if (date.parts_[Day].isEmpty() || date.parts_[Month].isEmpty() || date.parts_[Year].isEmpty())
        return {};
    return date.applyTo(QDate(2000, 1, 1));
}
