#pragma once

#include <QString>
#include <QStringList>

class QIODevice;

namespace tq {

// The settings file: "[COM PORT]" and the remembered port index, two lines.
class SettingsFile {
  public:
    // The port index stored in path; 0 when the file is missing or
    // unreadable (a folder or a named pipe is not opened), has no second
    // line, or that line is not a whole number.
    static int readPortIndex(const QString& path);
    // The same from an open device, read a bounded line at a time.
    static int readPortIndex(QIODevice& in);

    // Writes both lines into folder + "TQ880.ini", creating folder (one level)
    // when missing. False with *error set when the folder cannot be made or
    // the file cannot be written; an earlier file then stays as it was.
    // otherPorts (devices the user named) follow under "[OTHER PORTS]", one
    // a line; a reader of the two lines alone stops before them.
    static bool write(const QString& folder, int portIndex, QString* error,
                      const QStringList& otherPorts = {});
    // The devices under "[OTHER PORTS]": at most kMaxOtherPorts, each a
    // line of printable text within kLineLimit.
    static QStringList readOtherPorts(const QString& path);
    static constexpr int kMaxOtherPorts = 16;

    static constexpr int kLineLimit = 79;
};

} // namespace tq
