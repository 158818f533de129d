#include "rules/SafeText.h"

#include "rules/Cp1252.h"

QString upperTyped(const QString& typed) {
    if (typed.size() != 1)
        return typed;
    const QChar upper = typed.at(0).toUpper();
    if (upper == typed.at(0) || !Cp1252::encodable(upper))
        return typed;
    return QString(upper);
}

bool isSafeText(const QString& text) {
    for (QChar c : text)
        if (breaksFileField(c))
            return false;
    return true;
}

QString safeText(const QString& text, QStringList* removed) {
    // A letter and its combining accent become the one accented letter the
    // code page has.
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QString out;
    out.reserve(composed.size());
    // Invisible ones are named by kind; the rest are shown themselves.
    QStringList kinds, shown;
    const auto note = [](QStringList& list, const QString& what) {
        if (!list.contains(what))
            list << what;
    };
    for (qsizetype i = 0; i < composed.size(); ++i) {
        const QChar c = composed.at(i);
        const bool pair =
            c.isHighSurrogate() && i + 1 < composed.size() && composed.at(i + 1).isLowSurrogate();
        if (!breaksFileField(c))
            out += c;
        else if (c == u'\r' || c == u'\n')
            note(kinds, QStringLiteral("los saltos de línea"));
        else if (c == u'\t')
            note(kinds, QStringLiteral("los tabuladores"));
        else if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            note(kinds, QStringLiteral("los caracteres de control"));
        else
            note(shown, u'"' + composed.mid(i, pair ? 2 : 1) + u'"');
        i += pair ? 1 : 0;
    }
    // A long foreign text would make a message of its own: the first few.
    constexpr qsizetype Named = 8;
    if (shown.size() > Named) {
        const qsizetype more = shown.size() - Named;
        shown.resize(Named);
        shown << (more == 1 ? QStringLiteral("otro carácter")
                            : QStringLiteral("otros %1 caracteres").arg(more));
    }
    if (removed)
        *removed = shown + kinds;
    return out;
}
