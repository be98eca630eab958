#include "GraphFile.h"

#include "Chart.h"
#include "CommandGuard.h"
#include "FileAccess.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace tq {

namespace {
// Reads of the block go in pieces of this size, so memory follows the
// bytes that arrive and not what the length field claims.
constexpr qint64 kReadChunk = 1 << 20;
} // namespace

Outcome writeGraphFile(const QString& fileName, const QByteArray& stateBlock) {
    const auto failed = [](const QString& text) { return Outcome::fail(Outcome::Code::CannotWrite, text); };
    if (quint64(stateBlock.size()) > 0xFFFFFFFFull)
        return failed(QStringLiteral("The graph is too large to be saved in %1.").arg(shownName(fileName)));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failed(QStringLiteral("Cannot create %1: %2").arg(shownName(fileName), file.errorString()));
    uchar length[4];
    qToLittleEndian<quint32>(quint32(stateBlock.size()), length);
    if (file.write(reinterpret_cast<const char*>(length), 4) != 4 ||
        file.write(stateBlock) != stateBlock.size() || !file.commit())
        return failed(QStringLiteral("Cannot write %1: %2").arg(shownName(fileName), file.errorString()));
    return Outcome::success();
}

QByteArray readGraphFile(const QString& fileName) {
    QFile file(fileName);
    QString error;
    if (!openForReading(file, error)) throw UserError(error);
    return readGraphFile(file, shownName(fileName));
}

QByteArray readGraphFile(QIODevice& in, const QString& name) {
    const auto readFailed = [&] {
        const auto* file = qobject_cast<QFileDevice*>(&in);
        return file && file->error() != QFileDevice::NoError;
    };
    const auto cannotRead = [&] {
        return UserError(QStringLiteral("Cannot read %1: %2").arg(name, in.errorString()));
    };
    uchar length[4];
    if (in.read(reinterpret_cast<char*>(length), 4) != 4) {
        if (readFailed()) throw cannotRead();
        throw UserError(QStringLiteral("%1 is not a graph file: it is too short.").arg(name));
    }
    const qint64 n = qFromLittleEndian<quint32>(length);
    const UserError damaged(QStringLiteral("%1 is damaged: it ends before its graph data.").arg(name));
    QByteArray block;
    if (!in.isSequential()) {
        if (n > in.size() - in.pos()) throw damaged;
        block.reserve(n); // the device holds that many bytes
    }
    while (block.size() < n) {
        const QByteArray chunk = in.read(qMin(n - block.size(), kReadChunk));
        if (chunk.isEmpty()) break;
        block += chunk;
    }
    if (block.size() < n) {
        if (readFailed()) throw cannotRead();
        throw damaged;
    }
    return block;
}

Outcome SaveGraphFile(const Chart& chart, const QString& fileName) {
    return writeGraphFile(fileName, chart.storeState());
}

Outcome LoadGraphFile(Chart& chart, const QString& fileName) {
    // The framing's reader unwinds to here, its one entry point for a file.
    QByteArray block;
    try {
        block = readGraphFile(fileName);
    } catch (const UserError& e) {
        return Outcome::fail(Outcome::Code::CannotRead, e.text());
    }
    QString why;
    if (!chart.loadState(block, &why))
        return Outcome::fail(
            Outcome::Code::CannotRead,
            QStringLiteral("%1 is not a valid graph file: %2").arg(shownName(fileName), why));
    return Outcome::success();
}

} // namespace tq
