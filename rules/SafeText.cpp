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
    QStringList kinds;
    const auto note = [&](const QString& kind) {
        if (!kinds.contains(kind))
            kinds << kind;
    };
    for (QChar c : composed) {
        if (c == u'|')
            note(QStringLiteral("el carácter \"|\""));
        else if (c == u'\r' || c == u'\n')
            note(QStringLiteral("los saltos de línea"));
        else if (c == u'\t')
            note(QStringLiteral("los tabuladores"));
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            note(QStringLiteral("los caracteres de control"));
        else if (!Cp1252::encodable(c))
            note(QStringLiteral("los caracteres que el archivo de información no puede "
                                "escribir (como emojis o ideogramas)"));
        else
            out += c;
    }
    if (removed)
        *removed = kinds;
    return out;
}
