#include "app/MarkImages.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace marks {
namespace {
QPixmap canvas(qreal dpr) {
    QPixmap pm(QSize(kSize, kSize) * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    return pm;
}
}  // namespace

QPixmap tick(qreal dpr) {
    QPixmap pm = canvas(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(2.5, 8.5);
    path.lineTo(6.5, 12.5);
    path.lineTo(13.5, 3.5);
    p.setPen(QPen(QColor(0x1E, 0x9E, 0x2E), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    return pm;
}

QPixmap noEntry(qreal dpr) {
    QPixmap pm = canvas(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0x8C, 0x1C));
    p.drawEllipse(QRectF(1, 1, 14, 14));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 6.5, 9, 3));
    return pm;
}

QPixmap forMark(const QString& mark, qreal dpr) {
    // Every visible row paints one; draw each kind once per pixel ratio.
    static QHash<QPair<bool, qreal>, QPixmap> cache;
    const bool isTick = mark == QLatin1String("S");
    QPixmap& pm = cache[{isTick, dpr}];
    if (pm.isNull()) pm = isTick ? tick(dpr) : noEntry(dpr);
    return pm;
}
}  // namespace marks
