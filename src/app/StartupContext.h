#pragma once

#include <QString>
#include <QStringList>

namespace kiv {

class TDdeMgr;

// What the window learns about its surroundings when it is created: where the settings live
// (the user's own file and the machine-wide one beneath it), which folder stands for the
// program's folder, and the program's arguments (its path not counted). Tests point all of it
// into temporary folders.
struct StartupContext {
    QString userSettingsFile;
    QString machineSettingsFile;
    QString programFolder;
    QStringList arguments;
    // The command service the window offers its topic on; none in tests that do not need one.
    TDdeMgr* commandService = nullptr;

    // The running program's context: the user's and the machine-wide settings files, and the
    // program's folder or the user's application data folder where the program's folder is not
    // writable (as it usually is not once installed).
    static StartupContext ForProcess(const QStringList& arguments);

    // folder itself when it is a writable folder, else the user's application data folder.
    static QString WritableFolder(const QString& folder);
};

}  // namespace kiv
