#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

// The clipboard text cut into segments at tab, LF and CR. Each segment is converted on its own
// and the separators stay where they were, so a table or a multi-line text keeps its shape. The
// end of the text ends the last segment; empty segments produce nothing.
class ClipboardSegments {
  public:
    using Convert = std::function<std::string(const std::string& segment)>;

    struct Result {
        std::string text;                 // the whole converted text
        std::vector<std::string> pieces;  // what each converted segment became, in order
    };

    static Result Encrypt(std::string_view text, const Convert& encrypt);

    // Cipher texts have an even length. A segment of odd length comes from the earlier rule
    // that left the clipboard's last character unconverted behind the cipher text: its even
    // part is decrypted and that character kept, so those texts still restore.
    static Result Decrypt(std::string_view text, const Convert& decrypt);

  private:
    static Result ConvertSegments(std::string_view text, const Convert& convert);
};

}  // namespace kiv
