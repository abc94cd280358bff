#include "app/core/TextAdapter.h"

#include <QByteArray>
#include <QStringDecoder>

namespace kiv {

std::string TextAdapter::ToBytes(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

SecretText TextAdapter::SecretBytes(const QString& text) {
    // ToBytes's UTF-8 (Qt's 8-bit code page on Unix), written here because every Qt encoder
    // leaves an array of its own behind, unwiped. A surrogate without its pair becomes U+FFFD,
    // as there. Three bytes a unit at most: the text is never moved while it grows.
    SecretText bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()) * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t point = text[i].unicode();
        if (QChar::isHighSurrogate(point) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            point = QChar::surrogateToUcs4(text[i], text[i + 1]), ++i;
        else if (QChar::isSurrogate(point))
            point = QChar::ReplacementCharacter;
        constexpr char32_t kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
        const int tail = point < 0x80 ? 0 : point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
        bytes += static_cast<char>(kLead[tail] | (point >> (6 * tail)));
        for (int k = tail - 1; k >= 0; --k)
            bytes += static_cast<char>(0x80u | ((point >> (6 * k)) & 0x3Fu));
    }
    return bytes;
}

QString TextAdapter::FromBytes(const std::string& bytes) {
    // QString::fromLocal8Bit drops a byte order mark at the start, and a text that begins with
    // one (a decrypted line, a document) would then come back from ToBytes without it.
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace kiv
