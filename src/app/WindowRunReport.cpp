#include "app/WindowRunReport.h"

#include <algorithm>

#include "app/ShownText.h"
#include "app/TextAdapter.h"
#include "filecrypt/PrintableName.h"

namespace kiv {

QString WindowRunReport::Shown(const std::string& bytes) {
    return TextAdapter::FromBytes(PrintableName(bytes));
}

void WindowRunReport::Show(QProgressBar& bar, int position) {
    if (position < bar.minimum())
        bar.reset();
    else
        bar.setValue(std::min(position, bar.maximum()));
}

void WindowRunReport::AddLine(const ReportText& line) {
    list_.addItem(ShownText(line));
    list_.scrollToBottom();  // the newest line is the one to read during a run
}

void WindowRunReport::ShowMessage(const ReportText& text) {
    ui_.ShowMessage(ShownText(text));
}

bool WindowRunReport::ConfirmStop(const std::string& question, const std::string& caption) {
    return ui_.Question(TextAdapter::FromBytes(question), TextAdapter::FromBytes(caption));
}

}  // namespace kiv
