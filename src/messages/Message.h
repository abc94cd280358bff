#pragma once

#include <cstdint>

namespace kiv {

// The identity of every text the window shows and every line kiv-cli prints, one row each of
// messages/MessageTable.h; MessageCatalogue.h gives their words and exit statuses. Code names a
// message by its identity, never by its words: several messages share their words but not their
// meaning, and a front end words them in its own way.
enum class Message : std::uint16_t {
#define KIV_MESSAGE(identity, window, cli, status) identity,
#include "messages/MessageTable.h"
#undef KIV_MESSAGE
};

}  // namespace kiv
