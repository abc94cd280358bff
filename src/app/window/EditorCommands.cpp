#include "app/window/EditorCommands.h"

#include "app/core/EditorDocument.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

void EditorCommands::Open(DialogSettings& dialog, EditorLines lines) {
    dialog.multiSelect = true;
    dialog.filter = QLatin1String(WindowText(Message::TextFileFilter));
    const QStringList chosen = ui_.OpenDialog(dialog);
    if (chosen.isEmpty()) return;
    const auto read = EditorDocument::Read(chosen.front());
    if (!read) {
        ui_.ShowMessage(QLatin1String(WindowText(Message::LastSaveNotFound)));
        return;
    }
    lines.ReplaceAll(*read);
}

void EditorCommands::SaveAs(DialogSettings& dialog, const EditorLines& lines) {
    dialog.defaultExtension = QStringLiteral("txt");
    dialog.filter = QLatin1String(WindowText(Message::TextFileFilter));
    dialog.confirmOverwrite = false;
    const std::optional<QString> path = ui_.SaveDialog(dialog);
    if (!path) return;
    if (!EditorDocument::Write(*path, lines.All()))
        ui_.ShowMessage(QLatin1String(WindowText(Message::LastSaveNotFound)));
}

}  // namespace kiv
