#pragma once

#include <QString>

namespace tq {

// Where the program keeps its files. Folders end with '/'.
class AppPaths {
  public:
    // The program folder: --home DIR when given; for an installed program
    // the per-user data folder (~/.local/share/TQ880/), also where the
    // install folder could be written (as root); in a build tree the
    // executable's folder, or the per-user folder when that cannot be
    // written. A missing DIR is created with its parents; false (and the
    // home left as it was) when it cannot be. An empty dir goes back to the
    // default.
    static bool setHome(const QString& dir);
    static bool hasHome();
    static QString programFolder();
    static QString userFolder();

    // An installed program keeps its data (the help page) at this path
    // from its executable's folder ("../share/tq880" for the usual layout).
    static QString dataPathFromBin();
    // That data folder when exeDir holds an installed program, else empty.
    static QString installedDataFolder(const QString& exeDir);

    static QString settingsFolder() { return programFolder() + QStringLiteral("ini/"); }
    static QString settingsFile() { return settingsFolder() + QStringLiteral("TQ880.ini"); }
    static QString templateFolder() { return programFolder() + QStringLiteral("template/"); }
    static QString templateFile() { return templateFolder() + QStringLiteral("graph.ghf"); }
    static QString tempFolder() { return programFolder() + QStringLiteral("temp/"); }

    // The help page: in the installed data folder, or beside the executable.
    static QString helpFile();
    // The LCD's segment list: in the current folder, or in the home.
    static QString segmentListFile();

    // The data folder: the home when given (everything the program writes
    // stays in it); else documents + "TQ880/", created when missing; the
    // documents folder itself when that fails; empty (current folder) when
    // there is no documents folder. Settled once at start-up.
    static QString settleDataFolder();
    static QString dataFolder();
    static void setDataFolder(const QString& folder);
};

} // namespace tq
