#pragma once

#include <QRect>
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
    // The available area of the screen the window opens on: a window laid out larger than that
    // scrolls its controls into it. Empty: no limit.
    QRect screenArea = {};
    // Whether the window system tells a program where its window stands (Wayland does not);
    // without it, closing leaves the stored position as it was.
    bool positionKnown = true;

    // The running program's context: the user's and the machine-wide settings files,
    // ProgramFolder of the executable's folder, and the primary screen and platform.
    static StartupContext ForProcess(const QStringList& arguments);

    // The folder that stands for the program's folder when the executable lies in folder:
    // folder itself when it is writable and the program is not installed there (no menu entry
    // at ../share/applications beside it), else the user's application data folder.
    static QString ProgramFolder(const QString& folder);

    // folder itself when it is a writable folder, else the user's application data folder.
    static QString WritableFolder(const QString& folder);
};

}  // namespace kiv
