#pragma once

#include <QPlainTextEdit>
#include <QTextCursor>
#include <string>

#include "app/core/EditorDocument.h"

namespace kiv {

// The editor's document as 8-bit lines, read and written through the text adapter. The line
// count leaves out an empty last line (nothing after the final line end).
class EditorLines {
  public:
    // Reading a line gives at most this many bytes of it.
    static constexpr std::size_t kLineLimit = 4096;

    explicit EditorLines(QPlainTextEdit& editor) : editor_(editor) {}

    int Count() const;
    std::string Line(int index) const;
    // The line however long it is: the actions convert whole lines, so nothing is cut off.
    std::string WholeLine(int index) const;
    // A text holding line ends (CR LF, CR or LF) becomes several lines.
    void SetLine(int index, const std::string& text);
    void Append(const std::string& text);

    // Every line, an empty last one included, as a file of the document holds them.
    EditorDocument::Lines All() const;
    // The document's first content: nothing before it can be undone.
    void SetAll(const EditorDocument::Lines& lines);
    // Replacing and emptying are edits like any other: one undo brings the earlier text back.
    void ReplaceAll(const EditorDocument::Lines& lines);
    void Clear();

    // Runs change so that one undo takes back everything it did to the document, even when it
    // ends in an exception.
    template <class Change>
    void AsOneEdit(Change&& change) {
        QTextCursor cursor(editor_.document());
        cursor.beginEditBlock();
        try {
            change();
        } catch (...) {
            cursor.endEditBlock();
            throw;
        }
        cursor.endEditBlock();
    }

  private:
    static QString EditorText(const std::string& text);

    QPlainTextEdit& editor_;
};

}  // namespace kiv
