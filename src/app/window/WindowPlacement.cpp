#include "app/window/WindowPlacement.h"

#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace kiv {

namespace {

// What a window manager's frame may take around the window, before it is known: the window is
// sized and placed before it is shown, and only then does it get its frame.
constexpr QSize kFrameAllowance(16, 48);

// The stored values are whole 32-bit numbers: computed in 64 bits, none of them wraps.
qint64 Overlap(qint64 start, qint64 length, qint64 areaStart, qint64 areaLength) {
    return std::max<qint64>(
        0, std::min(start + length, areaStart + areaLength) - std::max(start, areaStart));
}

}  // namespace

QPoint PlaceInView(QPoint wanted, QSize size, const QVector<QRect>& available) {
    if (available.isEmpty()) return wanted;
    const qint64 left = wanted.x();
    const qint64 top = wanted.y();
    const QRect* best = &available.front();
    qint64 bestOverlap = 0;
    for (const QRect& area : available) {
        const qint64 overlap = Overlap(left, size.width(), area.left(), area.width()) *
                               Overlap(top, size.height(), area.top(), area.height());
        if (overlap > bestOverlap) {
            best = &area;
            bestOverlap = overlap;
        }
    }
    const QRect& area = *best;
    const qint64 maxLeft = std::max<qint64>(area.left(), area.right() + 1 - size.width());
    const qint64 maxTop = std::max<qint64>(area.top(), area.bottom() + 1 - size.height());
    return QPoint(static_cast<int>(std::clamp<qint64>(left, area.left(), maxLeft)),
                  static_cast<int>(std::clamp<qint64>(top, area.top(), maxTop)));
}

void MoveInView(QWidget& window, QPoint wanted, const QVector<QRect>& available) {
    QSize size = window.frameGeometry().size();
    if (size == window.size()) size += kFrameAllowance;
    window.move(PlaceInView(wanted, size, available));
}

QSize FitInView(QSize design, const QRect& available) {
    if (available.isEmpty()) return design;
    return design.boundedTo((available.size() - kFrameAllowance).expandedTo(QSize(1, 1)));
}

void FitWindowInView(QWidget& window, const QRect& available) {
    const QSize design = window.size();
    const QSize fitted = FitInView(design, available);
    if (fitted == design) return;
    auto* area = new QWidget;
    area->setObjectName(QStringLiteral("DesignArea"));
    area->setMinimumSize(design);
    area->setAutoFillBackground(true);
    for (QWidget* control : window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control->isWindow()) continue;  // a popup menu goes where it is opened
        // A new parent hides a control: each keeps what it was, and its place.
        const bool hidden = control->isHidden();
        const QPoint at = control->pos();
        control->setParent(area);
        control->move(at);
        control->setHidden(hidden);
    }
    auto* scroll = new QScrollArea(&window);
    scroll->setObjectName(QStringLiteral("DesignScroll"));
    // Tab would stop on the area itself, a stop without a name; it scrolls to the focused
    // control instead.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(area);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    window.resize(fitted);
}

void ScrollIntoView(const QWidget& first, const QWidget& last) {
    auto* scroll = first.window()->findChild<QScrollArea*>(QStringLiteral("DesignScroll"),
                                                           Qt::FindDirectChildrenOnly);
    if (scroll == nullptr || scroll->widget() != first.parentWidget()) return;
    const QRect part = first.geometry().united(last.geometry());
    // The bottom right first, then the top left: where the part is larger than the view, its
    // top left stays in sight. A point on the view's far edge counts as in view: one past it.
    scroll->ensureVisible(part.x() + part.width(), part.y() + part.height(), 0, 0);
    scroll->ensureVisible(part.left(), part.top(), 0, 0);
}

bool PositionKnown(const QString& platformName) {
    return !platformName.startsWith(QLatin1String("wayland"));
}

}  // namespace kiv
