#pragma once

#include <QByteArray>
#include <QString>

// The information file and the keyboard rules speak Windows-1252, the
// authority's 8-bit code page.
namespace Cp1252 {

bool encodable(QChar c);
// The byte of c, or -1 when the code page has none.
int byteOf(QChar c);
bool encodable(const QString& s);
// Only call with encodable text; anything else becomes '?'.
QByteArray encode(const QString& s);
QString decode(const QByteArray& bytes);

} // namespace Cp1252
