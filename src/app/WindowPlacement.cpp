#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace kiv {

namespace {

// As much of the top edge as a hand needs to grab and move the window.
constexpr int kGrip = 48;
// What a window manager's frame may take around the window, before it is known: the window is
// sized before it is shown, and only then does it get its frame.
constexpr QSize kFrameAllowance(16, 48);

}  // namespace

QPoint PlaceInView(QPoint wanted, QSize size, const QVector<QRect>& available) {
    if (available.isEmpty()) return wanted;
    // The stored values are whole 32-bit numbers: compute in 64 bits so none of them wraps.
    const qint64 left = wanted.x();
    const qint64 top = wanted.y();
    for (const QRect& area : available) {
        const qint64 visibleWidth = std::min<qint64>(left + size.width(), area.right() + 1) -
                                    std::max<qint64>(left, area.left());
        const bool topOnArea = top >= area.top() && top + kGrip <= area.bottom() + 1;
        if (topOnArea && visibleWidth >= std::min(kGrip, size.width())) return wanted;
    }
    const QRect& area = available.front();
    const qint64 maxLeft = std::max<qint64>(area.left(), area.right() + 1 - size.width());
    const qint64 maxTop = std::max<qint64>(area.top(), area.bottom() + 1 - size.height());
    return QPoint(static_cast<int>(std::clamp<qint64>(left, area.left(), maxLeft)),
                  static_cast<int>(std::clamp<qint64>(top, area.top(), maxTop)));
}

QPoint PlaceInView(QPoint wanted, QSize size) {
    QVector<QRect> available;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        available << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) available << screen->availableGeometry();
    return PlaceInView(wanted, size, available);
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
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(area);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    window.resize(fitted);
}

bool PositionKnown(const QString& platformName) {
    return !platformName.startsWith(QLatin1String("wayland"));
}

}  // namespace kiv
