#include "ProgressLine.h"

#include <QString>

namespace tq::cli {

namespace {
constexpr qint64 kTerminalMs = 250;
constexpr qint64 kLogMs = 5000;
} // namespace

ProgressLine::ProgressLine(QTextStream& err, bool terminal) : m_err(err), m_terminal(terminal) {}

void ProgressLine::setMaximum(qint64 maximum) {
    m_maximum = maximum;
    print(true);
}

void ProgressLine::setValue(qint64 value) {
    const bool changed = value != m_value;
    m_value = value;
    if (changed) print(false);
}

void ProgressLine::print(bool now) {
    if (!now && m_last.isValid() && m_last.elapsed() < (m_terminal ? kTerminalMs : kLogMs)) return;
    m_last.start();
    QString line = QStringLiteral("received %1 bytes").arg(m_value);
    if (m_maximum > 0)
        line = QStringLiteral("received %1 of %2 bytes (%3 %)")
                   .arg(m_value)
                   .arg(m_maximum)
                   .arg(qMin<qint64>(100, m_value * 100 / m_maximum));
    if (m_terminal)
        m_err << '\r' << line << "\x1b[K";
    else
        m_err << line << '\n';
    m_err.flush();
}

void ProgressLine::finish() {
    print(true);
    if (m_terminal) m_err << '\n';
    m_err.flush();
}

} // namespace tq::cli
