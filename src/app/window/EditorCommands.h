#pragma once

#include "app/core/DialogSettings.h"
#include "app/core/UiServices.h"
#include "app/window/EditorLines.h"

namespace kiv {

// The editor's document commands "Open" and "Save as": a dialog, then the file read into the
// editor or the editor written to it. A file that cannot be read or written is reported with
// "The last save has not been found", as the last-save file is.
class EditorCommands {
  public:
    explicit EditorCommands(UiServices& ui) : ui_(ui) {}

    // Replacing the lines is one edit: one undo brings the earlier text back.
    void Open(DialogSettings& dialog, EditorLines lines);
    void SaveAs(DialogSettings& dialog, const EditorLines& lines);

  private:
    UiServices& ui_;
};

}  // namespace kiv
