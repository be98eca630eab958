#pragma once

#include "LinkView.h"

#include <QStringList>

// Records what the link shows; plays the port chooser.
class FakeLinkView : public tq::LinkView {
  public:
    QString device, state;
    bool downloadEnabled = true, dataLoggerEnabled = true, rs232 = false;
    int lcdRefreshes = 0;
    tq::LcdState lastLcd;
    QStringList progress;
    QStringList ports;
    int selected = -1;

    void showStatus(const QString& d, const QString& s) override { device = d, state = s; }
    void setDownloadEnabled(bool on) override { downloadEnabled = on; }
    void setDataLoggerMenuEnabled(bool on) override { dataLoggerEnabled = on; }
    void setRs232Mark(bool v) override { rs232 = v; }
    void refreshLcd(const tq::LcdState& s) override { ++lcdRefreshes, lastLcd = s; }
    void showSearchProgress(const QString& t) override { progress << t; }
    int portCount() const override { return static_cast<int>(ports.size()); }
    QString portText(int i) const override { return ports.value(i); }
    void selectPort(int i) override { selected = i; }
    void removePort(int i) override { ports.removeAt(i); }
};
