#pragma once

#include <string>
#include <string_view>

namespace kiv {

// bytes as a JSON string, quotes included. UTF-8 stays as it is, apart from the escapes JSON
// needs (", \ and the control characters, as \uXXXX or \n and its kin). A byte that is not part
// of valid UTF-8 becomes the lone surrogate \uDC80..\uDCFF of its value (Python's
// "surrogateescape"), so every stored name, whatever its bytes, comes back from the JSON text:
// os.fsencode(name) in Python.
std::string JsonString(std::string_view bytes);

// bytes in base64 (RFC 4648, with padding): every byte as it is, for jq's @base64d and the like.
std::string Base64(std::string_view bytes);

}  // namespace kiv
