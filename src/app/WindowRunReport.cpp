#include "app/WindowRunReport.h"

#include "app/ShownText.h"
#include "app/TextAdapter.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

QString WindowRunReport::Shown(const std::string& bytes) {
    return TextAdapter::FromBytes(PrintableName(bytes));
}

void WindowRunReport::AddLine(const std::string& line) {
    list_.addItem(ShownText(Shown(line)));
    list_.scrollToBottom();  // the newest line is the one to read during a run
}

void WindowRunReport::ShowMessage(const std::string& text) {
    ui_.ShowMessage(Shown(text));
}

bool WindowRunReport::ConfirmStop(const std::string& question, const std::string& caption) {
    return ui_.Question(TextAdapter::FromBytes(question), TextAdapter::FromBytes(caption));
}

}  // namespace kiv
