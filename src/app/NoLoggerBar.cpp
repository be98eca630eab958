#include "NoLoggerBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace tq {

NoLoggerBar::NoLoggerBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("NoLoggerBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 244, 206));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);

    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("NoLoggerText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_search = new QPushButton(QStringLiteral("Search again"), this);
    m_search->setObjectName(QStringLiteral("btnSearchAgainBar"));
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("btnCloseNoLoggerBar"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(QStringLiteral("Hide this bar"));
    close->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_search, 0, Qt::AlignTop);
    layout->addWidget(close, 0, Qt::AlignTop);
    connect(m_search, &QPushButton::clicked, this, &NoLoggerBar::searchAgain);
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    hide();
}

void NoLoggerBar::showResult(const QList<LoggerSearch::Probe>& probes) {
    QStringList lines;
    if (probes.isEmpty()) {
        lines << QStringLiteral("No logger was found: this computer shows no serial port.")
              << QStringLiteral(
                     "Plug in the logger's cable (a USB serial adapter shows up as /dev/ttyUSB0 or "
                     "/dev/ttyACM0), then search again, or name the device with \"Other port...\" "
                     "in the port list.");
    } else {
        lines << QStringLiteral("No logger was found. The ports tried:");
        for (const LoggerSearch::Probe& probe : probes)
            lines << QStringLiteral("    ") + LoggerSearch::probeText(probe);
        lines << QStringLiteral(
            "Check that the logger is switched on and its cable is plugged in, then search "
            "again. A device that is not listed can be named with \"Other port...\" in the "
            "port list.");
    }
    m_text->setText(lines.join(QLatin1Char('\n')));
    m_search->setEnabled(true);
    show();
}

void NoLoggerBar::showSearching(const QString& device) {
    m_text->setText(QStringLiteral("Searching for the logger on %1 ...").arg(device));
    m_search->setEnabled(false);
    show();
}

} // namespace tq
