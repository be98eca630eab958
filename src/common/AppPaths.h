#pragma once

#include <QString>

namespace tq {

// Where the program keeps its files. Folders end with '/'.
class AppPaths {
  public:
    // The program folder: --home DIR when given, else the executable's
    // folder, or the per-user application data folder when that one
    // cannot be written (a system-wide install). A missing DIR is created
    // with its parents; false (and the home left as it was) when it cannot
    // be. An empty dir goes back to the default.
    static bool setHome(const QString& dir);
    static QString programFolder();

    static QString settingsFolder() { return programFolder() + QStringLiteral("ini/"); }
    static QString settingsFile() { return settingsFolder() + QStringLiteral("TQ880.ini"); }
    static QString templateFolder() { return programFolder() + QStringLiteral("template/"); }
    static QString templateFile() { return templateFolder() + QStringLiteral("graph.ghf"); }
    static QString tempFolder() { return programFolder() + QStringLiteral("temp/"); }

    // The help page ships beside the executable.
    static QString helpFile();

    // The data folder: documents + "TQ880/", created when missing; the
    // documents folder itself when that fails; empty (current folder) when
    // there is no documents folder. Settled once at start-up.
    static QString settleDataFolder();
    static QString dataFolder();
    static void setDataFolder(const QString& folder);
};

} // namespace tq
