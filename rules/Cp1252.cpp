#include "rules/Cp1252.h"

namespace {

// Code points of bytes 0x80-0x9F; 0 marks the five bytes with no character.
constexpr char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

namespace Cp1252 {

int byteOf(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i)
        if (high[i] != 0 && high[i] == u)
            return 0x80 + i;
    return -1;
}

bool encodable(QChar c) {
    return byteOf(c) >= 0;
}

bool encodable(const QString& s) {
    for (QChar c : s)
        if (!encodable(c))
            return false;
    return true;
}

QByteArray encode(const QString& s) {
    QByteArray out(s.size(), Qt::Uninitialized);
    char* p = out.data();
    for (QChar c : s) {
        const int b = byteOf(c);
        *p++ = char(b < 0 ? '?' : b);
    }
    return out;
}

QString decode(const QByteArray& bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* p = out.data();
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *p++ = b >= 0x80 && b <= 0x9F && high[b - 0x80] != 0 ? QChar(high[b - 0x80]) : QChar(b);
    }
    return out;
}

} // namespace Cp1252
