#pragma once

#include "data/Tables.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// The codes a column may hold, as the file and the store define them: the
// writer, the check before the key, the verifier and the summary all read
// them from here, and the longest text each field may hold. What bytes a
// field may hold is fileFieldByte's; the layouts are the tables'
// description.
struct CodeRule {
    const char* table;
    const char* column;
    QList<int> codes;
    bool nullAllowed;       // Null in the store, an empty field in the file
    QStringList names = {}; // what each code means, in codes' order; empty when shown bare

    // "1, 2 o 3"
    QString allowedText() const;
    // Whether a field of the file (or a stored value as text) is one of
    // the codes.
    bool accepts(QByteArrayView value) const;
    bool accepts(const QString& value) const { return accepts(QByteArrayView(value.toLatin1())); }
    // The meaning of a code as the summary shows it; empty for a code
    // outside the rule.
    QString nameOf(const QString& value) const;
};

namespace FileRules {

const QList<CodeRule>& codes();
// The rule of a column; nullptr when it holds no code.
const CodeRule* codeOf(const Tables::Table& table, const char* column);
// The finding for a value outside its rule, in the verifier's words.
QString codeFault(const CodeRule& rule, const QString& value);

// The most characters a written column may hold, as its entry field lets
// them be typed; 0 when the field has no size of its own (codes, catalogue
// keys, dates, the earlier agent's patent). A column of one name is typed
// in fields of one size wherever it stands.
int maxLengthOf(const char* column);
// The finding for a field longer than its column admits.
QString sizeFault(const char* column, qsizetype length, int maxLength);

} // namespace FileRules
