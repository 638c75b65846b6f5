#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace {
QPixmap drawn(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QPainterPath drum;
    drum.moveTo(8, 14);
    drum.lineTo(8, 48);
    drum.cubicTo(8, 60, 56, 60, 56, 48);
    drum.lineTo(56, 14);
    drum.closeSubpath();
    p.fillPath(drum, QColor(0x3F, 0x83, 0xBF));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7F, 0xB6, 0xE6));
    p.drawEllipse(QRectF(8, 5, 48, 18));
    p.setBrush(QColor(0xF2, 0x8C, 0x1C));
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(QPointF(46, 46), 14, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(38, 43, 16, 6));
    return pm;
}
}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(drawn(size));
    return icon;
}
