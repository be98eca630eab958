#include "GoldenFile.h"

#include <QFile>

namespace tq::test {

QString goldenPath(const QString& relative) {
    return QStringLiteral(TQ880_GOLDEN_DIR "/") + relative;
}

QStringList readLines(const QString& fileName) {
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    return lines;
}

::testing::AssertionResult matchesGolden(const QString& expectedFile, const QStringList& actual) {
    if (!QFile::exists(expectedFile))
        return ::testing::AssertionFailure() << "missing " << expectedFile.toStdString();
    const QStringList expected = readLines(expectedFile);
    const qsizetype n = qMin(expected.size(), actual.size());
    for (qsizetype i = 0; i < n; ++i)
        if (expected[i] != actual[i])
            return ::testing::AssertionFailure()
                   << expectedFile.toStdString() << " line " << i + 1 << ": expected \""
                   << expected[i].toStdString() << "\", got \"" << actual[i].toStdString() << "\"";
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << expectedFile.toStdString() << ": expected " << expected.size()
                                             << " lines, got " << actual.size();
    return ::testing::AssertionSuccess();
}

} // namespace tq::test
