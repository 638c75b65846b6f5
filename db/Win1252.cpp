#include "db/Win1252.h"

#include <QList>
#include <array>

namespace {
// 0x80..0x9F; 0 marks the five bytes the code page leaves undefined (decoded as C1 controls).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t toUnicode(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) {
        const char16_t c = kHighControls[b - 0x80];
        return c ? c : char16_t(b);
    }
    return char16_t(b);
}

char fromUnicode(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (int i = 0; i < 32; ++i) {
        const char16_t mapped = kHighControls[size_t(i)];
        if (mapped == c || (mapped == 0 && c == char16_t(0x80 + i))) return char(0x80 + i);
    }
    return '?';
}
}  // namespace

namespace win1252 {
QString decode(const char* data, qsizetype size) {
    QString out;
    out.reserve(size);
    for (qsizetype i = 0; i < size; ++i)
        out.append(QChar(toUnicode(static_cast<unsigned char>(data[i]))));
    return out;
}

QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }

QByteArray encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (char32_t cp : text.toUcs4()) out.append(cp > 0xFFFF ? '?' : fromUnicode(char16_t(cp)));
    return out;
}
}  // namespace win1252
