#pragma once

// Running tq880-cli as a process and reading what it printed and wrote.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline CliRun cli(const QStringList& args,
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tq880-cli"), args);
    CliRun r;
    if (!p.waitForFinished(60000)) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

inline QStringList lines(const QByteArray& b) {
    QStringList l = QString::fromUtf8(b).split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
    for (QString& s : l)
        if (s.endsWith(QLatin1Char('\r'))) s.chop(1);
    return l;
}

inline QByteArray fileBytes(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
