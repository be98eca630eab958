#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

namespace tq::test {

// Runs a test body in another time zone (a POSIX rule such as
// "CET-1CEST,M3.5.0,M10.5.0/3" needs no zone database) and gives the old
// one back.
class InZone {
  public:
    explicit InZone(const char* zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~InZone() {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    InZone(const InZone&) = delete;
    InZone& operator=(const InZone&) = delete;

  private:
    bool m_had;
    QByteArray m_old;
};

} // namespace tq::test
