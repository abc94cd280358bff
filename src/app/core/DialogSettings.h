#pragma once

#include <QString>
#include <QStringList>

namespace kiv {

// What an open or save dialog starts with. The editor's commands and the file runs share one
// value per dialog, so a setting made by one of them (multiple selection above all) stays for
// the others.
struct DialogSettings {
    QString filter;            // "Description|pattern;pattern|Description|pattern"
    QString initialFolder;     // empty: the dialog's own choice
    QString fileName;          // preset file name, with or without its folder
    QString defaultExtension;  // without the dot; added to a name typed without one
    bool multiSelect = false;
    // Save dialogs: an existing file is chosen only after the user agreed to replace it.
    bool confirmOverwrite = false;

    // The filter as Qt's dialogs take it, one "Description (patterns)" per entry. Patterns match
    // regardless of letter case, as they did where the filters were first written, so every
    // pattern is offered in upper and lower case, and "*.*" matches every file.
    QStringList QtNameFilters() const;
};

}  // namespace kiv
