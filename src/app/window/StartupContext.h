#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

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
    // The available areas of the screens, the one the window opens on first: a window laid out
    // larger than that one scrolls its controls into it, and a stored place is moved until the
    // whole window lies on one of them. None: no limit.
    QVector<QRect> screenAreas = {};
    // Whether the window system tells a program where its window stands (Wayland does not);
    // without it, closing leaves the stored position as it was.
    bool positionKnown = true;

    // The running program's context: the user's and the machine-wide settings files,
    // ProgramFolder of the executable's folder, the screens (the primary one first) and the
    // platform.
    static StartupContext ForProcess(const QStringList& arguments);

    // The folder that stands for the program's folder when the executable lies in folder:
    // folder itself when it is writable and the program is not installed there (no menu entry
    // at ../share/applications beside it), else the user's application data folder.
    static QString ProgramFolder(const QString& folder);

    // folder itself when it is a writable folder, else the user's application data folder.
    static QString WritableFolder(const QString& folder);
};

}  // namespace kiv
