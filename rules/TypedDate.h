#pragma once

#include <QDate>
#include <QString>

// A date as a person writes it, day first: its parts apart with "/", "-" or
// "." ("20/11/1999", "1-3-2010", "20.11.1999"), or all eight digits
// together ("20111999"). A part that reaches its width (two digits for the
// day and the month, four for the year) ends by itself, so a separator
// right after it is only the one that was expected.
class TypedDate {
public:
    enum Part { Day, Month, Year, Done };

    // Typing that begins at `from` (a click may start it on the month).
    explicit TypedDate(Part from = Day) : from_(from), part_(from) {}

    // Takes one more character; false when it cannot be part of a date
    // (a letter, a fifth year digit, a separator with nothing before it).
    bool take(QChar c);
    // After a separator that only moved on, and after a digit that filled
    // its part, the typing is at the start of another part.
    Part part() const { return part_; }
    Part from() const { return from_; }
    bool empty() const { return typed_.isEmpty(); }
    const QString& typed() const { return typed_; }

    // `before` with the parts typed so far in place of its own; invalid
    // when they make no date (31/02, a year of fewer than four digits).
    QDate applyTo(QDate before) const;

    // The whole text, as pasted: a complete date or an invalid one.
    static QDate parse(const QString& text);

private:
    static int width(Part p) { return p == Year ? 4 : 2; }

    QString parts_[3];
    QString typed_;
    Part from_;
    Part part_;
    bool justFilled_ = false;
};
