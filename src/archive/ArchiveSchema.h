#pragma once

#include <QStringList>

namespace tq::archiveschema {

enum class Dialect { SQLite, PostgreSQL };

// The statements that take an archive from version - 1 to version. Version 1
// is the first archive; every later one only adds, so an archive written by
// any earlier program is brought up to date in place.
QStringList migration(int version, Dialect dialect);

} // namespace tq::archiveschema
