#pragma once

#include <QString>

namespace tq::archivesettings {

// The archive when none is set: one SQLite file in the data folder, or in
// the program folder when a home folder was given (everything then stays
// under it) or there is no data folder.
QString defaultUrl(bool homeGiven);
// The archive the program and tq880-cli use unless told otherwise: the one
// remembered in ini/archive.txt, else the default.
QString configuredUrl(bool homeGiven);
// Remembers url (empty: back to the default). False with error set when the
// file cannot be written; the old setting then stays.
bool saveUrl(const QString& url, QString& error);
QString settingFile();

} // namespace tq::archivesettings
