#pragma once

#include <string>

namespace kiv::testing {

// What is made from the message catalogue, and where it is kept: the stored known answer of
// every row (tests/data/messages.tsv) and the list of messages that ends docs/errors.md, from
// kErrorsListHeading on. message_documents writes both; the catalogue's tests compare them.
inline constexpr char kErrorsListHeading[] = "## Every message\n";

std::string MessagesTsv();
std::string ErrorsList();

std::string MessagesTsvPath();
std::string ErrorsDocumentPath();

}  // namespace kiv::testing
