#include "app/window/EditorLines.h"

#include <QTextBlock>

#include "app/core/TextAdapter.h"

namespace kiv {

QString EditorLines::EditorText(const std::string& text) {
    // The editor starts a line at CR and at LF alike; a CR LF pair is one line end.
    QString lines = TextAdapter::FromBytes(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return lines;
}

int EditorLines::Count() const {
    const QTextDocument& document = *editor_.document();
    int count = document.blockCount();
    if (document.lastBlock().length() <= 1) --count;  // length counts the block's line end
    return count;
}

std::string EditorLines::Line(int index) const {
    std::string line = WholeLine(index);
    if (line.size() > kLineLimit) line.resize(kLineLimit);
    return line;
}

std::string EditorLines::WholeLine(int index) const {
    const QTextBlock block = editor_.document()->findBlockByNumber(index);
    if (!block.isValid()) return {};
    return TextAdapter::ToBytes(block.text());
}

void EditorLines::SetLine(int index, const std::string& text) {
    const QTextBlock block = editor_.document()->findBlockByNumber(index);
    if (!block.isValid()) return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(EditorText(text));
}

void EditorLines::Append(const std::string& text) {
    QTextCursor cursor(editor_.document());
    cursor.movePosition(QTextCursor::End);
    // An empty last line is where the next line goes; otherwise a new line is started.
    if (editor_.document()->lastBlock().length() > 1) cursor.insertBlock();
    cursor.insertText(EditorText(text));
}

EditorDocument::Lines EditorLines::All() const {
    EditorDocument::Lines lines;
    const QTextDocument& document = *editor_.document();
    if (document.isEmpty()) return lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines.push_back(TextAdapter::ToBytes(block.text()));
    return lines;
}

namespace {

QString EditorContent(const EditorDocument::Lines& lines) {
    QStringList texts;
    for (const std::string& line : lines)
        texts << TextAdapter::FromBytes(line);
    return texts.join(u'\n');
}

}  // namespace

void EditorLines::SetAll(const EditorDocument::Lines& lines) {
    editor_.setPlainText(EditorContent(lines));
}

void EditorLines::ReplaceAll(const EditorDocument::Lines& lines) {
    // setPlainText and clear would also throw away the editor's undo history.
    QTextCursor cursor(editor_.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    const QString content = EditorContent(lines);
    if (!content.isEmpty()) cursor.insertText(content);
    cursor.endEditBlock();
}

void EditorLines::Clear() {
    ReplaceAll({});
}

}  // namespace kiv
