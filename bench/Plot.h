#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <utility>

struct Series {
    QString label;
    QList<QPointF> points;  // x: rows in the database, y: seconds
    QList<std::pair<double, double>> spans;  // optional: the lowest and highest y of each point
    QColor color;
    Qt::PenStyle style = Qt::SolidLine;
};

// A plain line chart of time against database size, written as PNG; spans are drawn as bars.
bool plotToPng(const QString& path, const QString& title, const QList<Series>& series);
