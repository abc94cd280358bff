#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "data/KnownAnswers.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageDocuments.h"

namespace kiv {
namespace {

using testing::ReadTable;
using testing::Unescape;

std::string Stored(const char* text) {
    return text == nullptr ? "-" : text;
}

// Every message as stored in tests/data/messages.tsv, byte for byte: the window's text (the key
// of its translations), kiv-cli's words and its exit status. The other tests name messages by
// their identity; this one holds their words.
TEST(MessageCatalogueTest, EveryMessageSaysWhatWasStored) {
    const auto stored = ReadTable(testing::MessagesTsvPath());
    ASSERT_EQ(stored.size(), std::size(kMessageRows));
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const MessageRow& row = kMessageRows[i];
        ASSERT_EQ(stored[i].size(), 4u) << "line of " << row.name;
        EXPECT_EQ(stored[i][0], row.name);
        EXPECT_EQ(Unescape(stored[i][1]), Stored(row.window)) << row.name;
        EXPECT_EQ(Unescape(stored[i][2]), Stored(row.cli)) << row.name;
        EXPECT_EQ(stored[i][3], row.status == kNoExitStatus ? "-" : std::to_string(row.status))
            << row.name;
    }
}

// docs/errors.md ends with the list made from the catalogue, as message_documents writes it.
TEST(MessageCatalogueTest, ErrorsDocumentListsEveryMessage) {
    std::ifstream in(testing::ErrorsDocumentPath(), std::ios::binary);
    std::ostringstream document;
    document << in.rdbuf();
    const std::string errors = document.str();
    const auto list = errors.find(testing::kErrorsListHeading);
    ASSERT_NE(list, std::string::npos);
    EXPECT_EQ(errors.substr(list), testing::ErrorsList());
}

std::set<std::string> Placeholders(const char* text) {
    std::set<std::string> found;
    for (const char* at = text; at != nullptr && *at != '\0'; ++at)
        if (at[0] == '%' && at[1] >= '1' && at[1] <= '9') found.insert(std::string(at, 2));
    return found;
}

// kiv-cli words a run's message with the values the run gave for the window's text: its own
// words may leave a value out, never ask for one the window's text has no place for.
TEST(MessageCatalogueTest, KivCliAsksForNoValueTheWindowLacks) {
    for (const MessageRow& row : kMessageRows) {
        if (row.window == nullptr || row.cli == nullptr) continue;
        for (const std::string& placeholder : Placeholders(row.cli))
            EXPECT_EQ(Placeholders(row.window).count(placeholder), 1u) << row.name;
    }
}

}  // namespace
}  // namespace kiv
