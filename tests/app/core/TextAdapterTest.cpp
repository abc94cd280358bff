#include <gtest/gtest.h>

#include "app/core/TextAdapter.h"

namespace kiv {
namespace {

// Text bytes cross into a window control and back unchanged, a byte order mark at their start
// included: a decrypted line or an opened document that begins with one keeps it.
TEST(TextAdapter, TextBytesComeBackUnchanged) {
    const std::string texts[] = {
        "",
        "plain words",
        "I\xC5\x9F\xC4\xB1k \xF0\x9F\x94\x91",
        "\xEF\xBB\xBF",
        "\xEF\xBB\xBFline",
        "\xEF\xBB\xBF\xEF\xBB\xBF",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TextAdapter::ToBytes(TextAdapter::FromBytes(text)), text);
        EXPECT_EQ(TextAdapter::SecretBytes(TextAdapter::FromBytes(text)), text);
    }
    EXPECT_EQ(TextAdapter::FromBytes("\xEF\xBB\xBFx"), QStringLiteral("\uFEFFx"));
    // A password is converted as any text, a lone surrogate included.
    const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDFFF) +
                         QChar(0xDBFF) + QChar(0xDC00) + QChar(0x7FF) + QChar(0xD800);
    EXPECT_EQ(TextAdapter::SecretBytes(lone), TextAdapter::ToBytes(lone));
}

}  // namespace
}  // namespace kiv
