#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

namespace kiv {

// Where a window of the given size goes when it asks for `wanted`: there, when enough of it
// (its title bar) lies on one of the screens' available areas; otherwise the nearest place
// inside the first area. With no area known, `wanted` as it is.
QPoint PlaceInView(QPoint wanted, QSize size, const QVector<QRect>& available);

// The same with the screens the application sees now, the primary one first.
QPoint PlaceInView(QPoint wanted, QSize size);

}  // namespace kiv
