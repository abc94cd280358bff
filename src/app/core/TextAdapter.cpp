#include "app/core/TextAdapter.h"

#include <QByteArray>
#include <QStringDecoder>

namespace kiv {

std::string TextAdapter::ToBytes(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString TextAdapter::FromBytes(const std::string& bytes) {
    // QString::fromLocal8Bit drops a byte order mark at the start, and a text that begins with
    // one (a decrypted line, a document) would then come back from ToBytes without it.
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace kiv
