#include "Plot.h"

#include <QImage>
#include <QPainter>

bool plotToPng(const QString& path, const QString& title, const QList<Series>& series) {
    const QSize size(960, 600);
    const QRect area(90, 60, 620, 460);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    double maxX = 1, maxY = 0.001;
    for (const Series& s : series)
        for (const QPointF& pt : s.points) {
            maxX = std::max(maxX, pt.x());
            maxY = std::max(maxY, pt.y());
        }
    for (const Series& s : series)
        for (const auto& span : s.spans) maxY = std::max(maxY, span.second);
    maxY *= 1.1;
    auto map = [&](QPointF pt) {
        return QPointF(area.left() + pt.x() / maxX * area.width(),
                       area.bottom() - pt.y() / maxY * area.height());
    };

    p.setPen(Qt::black);
    QFont f = p.font();
    f.setPointSize(11);
    p.setFont(f);
    p.drawText(QRect(0, 10, size.width(), 30), Qt::AlignCenter, title);
    f.setPointSize(9);
    p.setFont(f);
    p.drawRect(area);
    for (int i = 0; i <= 5; ++i) {
        const double x = maxX * i / 5, y = maxY * i / 5;
        const QPointF px = map({x, 0}), py = map({0, y});
        p.setPen(QColor(220, 220, 220));
        p.drawLine(QPointF(px.x(), area.top()), QPointF(px.x(), area.bottom()));
        p.drawLine(QPointF(area.left(), py.y()), QPointF(area.right(), py.y()));
        p.setPen(Qt::black);
        p.drawText(QRectF(px.x() - 40, area.bottom() + 5, 80, 20), Qt::AlignCenter,
                   QString::number(qRound(x)));
        p.drawText(QRectF(0, py.y() - 10, area.left() - 8, 20), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(y, 'f', y < 10 ? 2 : 0));
    }
    p.drawText(QRect(area.left(), area.bottom() + 28, area.width(), 20), Qt::AlignCenter,
               QStringLiteral("linhas no banco"));
    p.save();
    p.translate(20, area.center().y());
    p.rotate(-90);
    p.drawText(QRect(-100, -10, 200, 20), Qt::AlignCenter, QStringLiteral("segundos"));
    p.restore();

    int legend = 0;
    for (const Series& s : series) {
        QPen pen(s.color, 2, s.style);
        p.setPen(pen);
        for (qsizetype i = 1; i < s.points.size(); ++i)
            p.drawLine(map(s.points[i - 1]), map(s.points[i]));
        for (const QPointF& pt : s.points) p.drawEllipse(map(pt), 3, 3);
        p.setPen(QPen(s.color, 1));
        for (qsizetype i = 0; i < s.spans.size() && i < s.points.size(); ++i) {
            const QPointF low = map({s.points[i].x(), s.spans[i].first});
            const QPointF high = map({s.points[i].x(), s.spans[i].second});
            p.drawLine(low, high);
            p.drawLine(low - QPointF(4, 0), low + QPointF(4, 0));
            p.drawLine(high - QPointF(4, 0), high + QPointF(4, 0));
        }
        p.setPen(pen);
        const int y = area.top() + 10 + 22 * legend++;
        p.drawLine(area.right() + 20, y, area.right() + 50, y);
        p.setPen(Qt::black);
        p.drawText(area.right() + 56, y + 5, s.label);
    }
    return image.save(path);
}
