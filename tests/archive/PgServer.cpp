#include "PgServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tq::testing {

namespace {
std::unique_ptr<PgServer>& holder() {
    static std::unique_ptr<PgServer> server;
    return server;
}

QString newestBinFolder() {
    const QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions) {
        const QString bin = root.filePath(v + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl")))
            return bin;
    }
    return {};
}
} // namespace

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

PgServer* PgServer::instance(QString& why) {
    static bool tried = false;
    static QString failure;
    if (!tried) {
        tried = true;
        std::unique_ptr<PgServer> s(new PgServer);
        if (s->start(failure))
            holder() = std::move(s);
        else
            s.reset();
    }
    why = failure;
    return holder().get();
}

bool PgServer::installed() {
    return !newestBinFolder().isEmpty() && QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"));
}

void PgServer::stopInstance() {
    holder().reset();
}

bool PgServer::run(const QString& program, const QStringList& args, QString& output) {
    QProcess p;
    // The server refuses to run as root.
    if (::geteuid() == 0) {
        p.setProgram(QStringLiteral("runuser"));
        p.setArguments(QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"),
                                   m_bin + QLatin1Char('/') + program} +
                       args);
    } else {
        p.setProgram(m_bin + QLatin1Char('/') + program);
        p.setArguments(args);
    }
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(m_dir->path());
    p.start();
    const bool done = p.waitForFinished(120000);
    output = QString::fromLocal8Bit(p.readAll());
    return done && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgServer::start(QString& why) {
    m_bin = newestBinFolder();
    if (m_bin.isEmpty()) {
        why = QStringLiteral("PostgreSQL's initdb and pg_ctl are not installed");
        return false;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        why = QStringLiteral("Qt's PostgreSQL driver (libqt6sql6-psql) is not installed");
        return false;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tq880-pg-XXXXXX"));
    // The postgres user works in it.
    QFile::setPermissions(m_dir->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup);
    const QString data = m_dir->filePath(QStringLiteral("data"));
    QString out;
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("tq880"),
              QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
             out)) {
        why = QStringLiteral("initdb failed: ") + out;
        return false;
    }
    m_port = freeLoopbackPort();
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                           "-c full_page_writes=off -c shared_buffers=16MB")
                                .arg(m_port)
                                .arg(m_dir->path());
    if (!run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"),
              m_dir->filePath(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("-t"),
              QStringLiteral("60"), QStringLiteral("start")},
             out)) {
        why = QStringLiteral("pg_ctl start failed: ") + out;
        return false;
    }
    m_running = true;
    return true;
}

PgServer::~PgServer() {
    if (!m_running) return;
    QString out;
    run(QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")), QStringLiteral("-m"),
         QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")},
        out);
}

QString PgServer::newDatabaseUrl() {
    const QString name = QStringLiteral("archive%1").arg(++m_databases);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("tq880-test-admin"));
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(m_port);
        db.setUserName(QStringLiteral("tq880"));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + name);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tq880-test-admin"));
    return QStringLiteral("postgresql://tq880@127.0.0.1:%1/%2").arg(m_port).arg(name);
}

} // namespace tq::testing
