#pragma once

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace tq::test {

// The folder of the sample files and their expected output.
QString goldenPath(const QString& relative);

// The lines of a text file, without their ends (LF or CR LF).
QStringList readLines(const QString& fileName);

// Compares actual with the lines of an expected file, line by line, and
// names the first line that differs.
::testing::AssertionResult matchesGolden(const QString& expectedFile, const QStringList& actual);

} // namespace tq::test
