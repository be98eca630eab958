#pragma once

#include "LoggerSearch.h"

#include <QFrame>

class QLabel;
class QPushButton;

namespace tq {

// The bar above the work area after a search that found no logger: which
// ports were tried and what each answered, what to check, and Search again.
class NoLoggerBar : public QFrame {
    Q_OBJECT
  public:
    explicit NoLoggerBar(QWidget* parent = nullptr);

    // What the search found on each port.
    void showResult(const QList<LoggerSearch::Probe>& probes);
    // A search is running; device is the port being tried.
    void showSearching(const QString& device);

  signals:
    void searchAgain();

  private:
    QLabel* m_text;
    QPushButton* m_search;
};

} // namespace tq
