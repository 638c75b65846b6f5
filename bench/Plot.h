#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

struct Series {
    QString label;
    QList<QPointF> points;  // x: rows in the database, y: seconds
    QColor color;
    bool dashed = false;
};

// A plain line chart of time against database size, written as PNG.
bool plotToPng(const QString& path, const QString& title, const QList<Series>& series);
