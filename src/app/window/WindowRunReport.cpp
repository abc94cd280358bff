#include "app/window/WindowRunReport.h"

#include <algorithm>

#include "app/core/ShownText.h"
#include "app/core/TextAdapter.h"
#include "filecrypt/ContainerNames.h"
#include "filecrypt/PrintableName.h"
#include "messages/MessageCatalogue.h"

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
    // Stopping is what a wrong password calls for, so it is also what a reflex gives.
    return ui_.Choose(TextAdapter::FromBytes(question), TextAdapter::FromBytes(caption),
                      {QString::fromUtf8(WindowText(Message::StopButton)),
                       QString::fromUtf8(WindowText(Message::RestoreAnywayButton))},
                      0, 0) == 0;
}

ExistingFileChoice WindowRunReport::ChooseForExisting(const std::string& folder,
                                                      const std::vector<std::string>& names) {
    // A box stays on the screen: beyond these, the report list names every file afterwards.
    constexpr std::size_t kNamesShown = 10;
    QStringList shown;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        shown << Shown(names[i]);
    if (names.size() > kNamesShown)
        shown << ShownText(WindowText(Message::MoreFilesInTheWay),
                           static_cast<int>(names.size() - kNamesShown));
    std::string place = folder.empty() ? std::string(".") : folder;
    if (place.size() > 1 && place.back() == '/') place.pop_back();
    const QString text =
        ShownText(WindowText(Message::FilesInTheWay), static_cast<int>(names.size()))
            .arg(Shown(place), shown.join(u'\n'),
                 Shown(RestoredCopyName(names.front(), 2, CopyMark())));
    // Keeping both loses nothing, so it is what Enter gives; Escape leaves everything as it is.
    static constexpr ExistingFileChoice kChoices[] = {
        ExistingFileChoice::Replace, ExistingFileChoice::KeepBoth, ExistingFileChoice::Skip};
    const int chosen =
        ui_.Choose(text, QString::fromUtf8(WindowText(Message::FilesInTheWayCaption)),
                   {QString::fromUtf8(WindowText(Message::ReplaceButton)),
                    QString::fromUtf8(WindowText(Message::KeepBothButton)),
                    QString::fromUtf8(WindowText(Message::SkipButton))},
                   1, 2);
    return kChoices[std::clamp(chosen, 0, 2)];
}

std::string WindowRunReport::CopyMark() const {
    return TextAdapter::ToBytes(ShownText(WindowText(Message::RestoredCopyMark)));
}

}  // namespace kiv
