#pragma once

#include <QPixmap>

// The two 16 x 16 marks of the grid, drawn as vectors so they stay crisp at any pixel ratio.
namespace marks {
constexpr int kSize = 16;
QPixmap tick(qreal devicePixelRatio = 1.0);     // green tick: "S"
QPixmap noEntry(qreal devicePixelRatio = 1.0);  // orange disc with a white bar: anything else
QPixmap forMark(const QString& mark, qreal devicePixelRatio = 1.0);
}  // namespace marks
