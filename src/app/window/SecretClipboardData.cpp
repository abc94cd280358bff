#include "app/window/SecretClipboardData.h"

#include <QMimeData>

namespace kiv {

QMimeData* SecretClipboardData(const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    return data;
}

}  // namespace kiv
