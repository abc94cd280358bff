#include "app/window/FocusRingStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace kiv {

void FocusRingStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !(option->state & State_HasFocus)) return;
    painter->save();
    QPen ring(option->palette.color(QPalette::Highlight), 2);
    ring.setJoinStyle(Qt::MiterJoin);
    painter->setPen(ring);
    painter->setBrush(Qt::NoBrush);
    painter->setRenderHint(QPainter::Antialiasing, false);
    // A 2-pixel pen is centred on the line: drawn 2 pixels in, it covers the first two inside
    // the edge and leaves the outermost one to the style's border.
    painter->drawRect(QRectF(option->rect).adjusted(2, 2, -2, -2));
    painter->restore();
}

}  // namespace kiv
