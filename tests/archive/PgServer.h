#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tq::testing {

// A PostgreSQL server of the tests' own: initdb and pg_ctl in a temporary
// folder, on a free loopback port, run as the postgres user when the tests
// run as root (the server refuses root). Started on first use, stopped when
// the test program ends.
class PgServer {
  public:
    // The one server, or null (with why) when PostgreSQL is not installed or
    // would not start.
    static PgServer* instance(QString& why);
    static void stopInstance();
    // PostgreSQL's server programs and Qt's driver for it are installed.
    static bool installed();

    // A new, empty database on the server, as an archive URL.
    QString newDatabaseUrl();
    int port() const { return m_port; }
    ~PgServer();

  private:
    PgServer() = default;
    bool start(QString& why);
    bool run(const QString& program, const QStringList& args, QString& output);

    QString m_bin;
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_port = 0;
    int m_databases = 0;
    bool m_running = false;
};

// A loopback port nobody listens on at the moment of asking.
int freeLoopbackPort();

} // namespace tq::testing
