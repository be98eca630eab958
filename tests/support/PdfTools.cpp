#include "PdfTools.h"

#include <QProcess>
#include <QRegularExpression>

namespace tq::test {

namespace {
QString run(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}
QString field(const QString& info, const char* name) {
    const QRegularExpression re(QStringLiteral("^%1:\\s*(.*)$").arg(QLatin1String(name)),
                                QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = re.match(info);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}
} // namespace

QString pdfInfo(const QString& pdf) {
    return run(QStringLiteral("pdfinfo"), {pdf});
}

QString pdfText(const QString& pdf) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

int pdfPages(const QString& pdf) {
    bool ok = false;
    const int n = field(pdfInfo(pdf), "Pages").toInt(&ok);
    return ok ? n : -1;
}

QString pdfPageSize(const QString& pdf) {
    return field(pdfInfo(pdf), "Page size");
}

} // namespace tq::test
