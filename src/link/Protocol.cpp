#include "Protocol.h"

namespace tq::protocol {

QByteArray plainCommand(char letter, const QByteArray& params) {
    QByteArray out;
    out.reserve(params.size() + 3);
    out.append(kStart).append(letter).append(params).append(kEnd);
    return out;
}

QByteArray checksummedCommand(char letter, const QByteArray& params) {
    QByteArray body;
    body.append(letter).append(params);
    quint8 sum = 0;
    for (char c : body)
        sum = static_cast<quint8>(sum + static_cast<quint8>(c));
    QByteArray out;
    out.append(char(0x02)).append(body).append(char(sum | 0x80)).append(char(0x03));
    return out;
}

} // namespace tq::protocol
