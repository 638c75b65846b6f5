#pragma once

#include <QByteArray>
#include <QString>

// The connection character set of every attachment. Qt has no codec for it, so it is done here.
namespace win1252 {
QString decode(const QByteArray& bytes);
QString decode(const char* data, qsizetype size);
// Characters outside the code page become '?', as the server would store them.
QByteArray encode(const QString& text);
}  // namespace win1252
