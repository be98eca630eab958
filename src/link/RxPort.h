#pragma once

#include <QByteArray>

namespace tq {

// What the live receive path needs of a port: how many bytes wait and
// reading them. TComPort is one; tests and fuzz harnesses feed the receive
// handler bytes through their own, without a device.
class RxPort {
  public:
    virtual ~RxPort() = default;
    virtual int inputCount() = 0;
    virtual QByteArray read(int count) = 0;
};

} // namespace tq
