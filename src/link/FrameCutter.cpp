#include "FrameCutter.h"

#include "Protocol.h"

namespace tq {

QList<QByteArray> cutFrames(QByteArray& buffer, int frameLength) {
    QList<QByteArray> frames;
    if (frameLength < 2) return frames;
    qsizetype pos = 0; // consumed so far; one removal at the end keeps this linear
    while (buffer.size() - pos >= frameLength) {
        const qsizetype p = buffer.indexOf(protocol::kStart, pos);
        if (p < 0) {
            pos = buffer.size();
            break;
        }
        if (p > pos) {
            pos = p;
            continue;
        }
        if (buffer.at(pos + frameLength - 1) == protocol::kEnd) {
            frames.append(buffer.mid(pos + 1, frameLength - 2));
            pos += frameLength;
        } else {
            pos += 1;
        }
    }
    buffer.remove(0, pos);
    return frames;
}

} // namespace tq
