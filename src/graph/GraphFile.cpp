#include "GraphFile.h"

#include "Chart.h"
#include "CommandGuard.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace tq {

namespace {
QString shown(const QString& fileName) {
    return QDir::toNativeSeparators(fileName);
}
} // namespace

void writeGraphFile(const QString& fileName, const QByteArray& stateBlock) {
    if (quint64(stateBlock.size()) > 0xFFFFFFFFull)
        throw UserError(QStringLiteral("The graph is too large to be saved in %1.").arg(shown(fileName)));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw UserError(QStringLiteral("Cannot create %1: %2").arg(shown(fileName), file.errorString()));
    uchar length[4];
    qToLittleEndian<quint32>(quint32(stateBlock.size()), length);
    if (file.write(reinterpret_cast<const char*>(length), 4) != 4 ||
        file.write(stateBlock) != stateBlock.size() || !file.commit())
        throw UserError(QStringLiteral("Cannot write %1: %2").arg(shown(fileName), file.errorString()));
}

QByteArray readGraphFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot open %1: %2").arg(shown(fileName), file.errorString()));
    uchar length[4];
    if (file.read(reinterpret_cast<char*>(length), 4) != 4)
        throw UserError(QStringLiteral("%1 is not a graph file: it is too short.").arg(shown(fileName)));
    const quint32 n = qFromLittleEndian<quint32>(length);
    if (qint64(n) > file.size() - 4)
        throw UserError(QStringLiteral("%1 is damaged: it ends before its graph data.").arg(shown(fileName)));
    QByteArray block = file.read(qint64(n));
    if (block.size() != qint64(n))
        throw UserError(QStringLiteral("Cannot read %1: %2").arg(shown(fileName), file.errorString()));
    return block;
}

void SaveGraphFile(const Chart& chart, const QString& fileName) {
    writeGraphFile(fileName, chart.storeState());
}

void LoadGraphFile(Chart& chart, const QString& fileName) {
    const QByteArray block = readGraphFile(fileName);
    QString why;
    if (!chart.loadState(block, &why))
        throw UserError(QStringLiteral("%1 is not a valid graph file: %2").arg(shown(fileName), why));
}

} // namespace tq
