#pragma once

#include <QString>
#include <stdexcept>

namespace tq {

// A serial port failure: the system's error number (or 0) and a message.
class EComError : public std::runtime_error {
  public:
    EComError(int code, const QString& message)
        : std::runtime_error(message.toStdString()), m_code(code), m_message(message) {}
    int code() const { return m_code; }
    const QString& message() const { return m_message; }

    static inline const char* kClosedPort = "Can't perform this operation on a closed port";
    static inline const char* kOpenPort = "Can't perform this operation on an open port";
    static inline const char* kTimeout = "Timeout";

  private:
    int m_code;
    QString m_message;
};

} // namespace tq
