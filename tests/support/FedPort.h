#pragma once

#include "RxPort.h"

#include <QByteArray>

namespace tq::testing {

// Bytes for the live receive handler without a device: what is appended to
// waiting is what the handler reads.
class FedPort : public RxPort {
  public:
    QByteArray waiting;
    int inputCount() override { return int(waiting.size()); }
    QByteArray read(int count) override {
        const QByteArray out = waiting.left(count);
        waiting.remove(0, count);
        return out;
    }
};

} // namespace tq::testing
