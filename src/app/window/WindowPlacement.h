#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

class QWidget;

namespace kiv {

// Where a window of the given size (its frame included) goes when it asks for `wanted`: the
// nearest place at which the whole window lies on the available area it overlaps most, or on
// the first area when it overlaps none. A window larger than the area gets its top left corner,
// so that its title bar can still be grabbed. With no area known, `wanted` as it is.
QPoint PlaceInView(QPoint wanted, QSize size, const QVector<QRect>& available);

// Moves window to the place PlaceInView gives for `wanted`, room left for the frame the window
// manager will add when the frame is not there yet.
void MoveInView(QWidget& window, QPoint wanted, const QVector<QRect>& available);

// The size for a window laid out at `design` on a screen whose available area is `available`,
// room left for the window's frame: the design size where it fits, else as much as fits. An
// empty area sets no limit.
QSize FitInView(QSize design, const QRect& available);

// Makes window (its controls placed on it at fixed positions, its size the design size) no larger
// than FitInView allows. Where that is smaller, the controls keep their places on an area the
// size of the design inside a scroll area filling the window, so that every one can be reached.
// The new parent changes the controls' Tab order: lay it again afterwards.
void FitWindowInView(QWidget& window, const QRect& available);

// Scrolls the window that FitWindowInView gave a scroll area until the part of the design from
// the top left of `first` to the bottom right of `last` is in view, as far as it fits. Nothing
// happens in a window without one.
void ScrollIntoView(const QWidget& first, const QWidget& last);

// Whether a window system on the named Qt platform tells a program where its window stands.
// Under Wayland it does not: a position read there is made up.
bool PositionKnown(const QString& platformName);

}  // namespace kiv
