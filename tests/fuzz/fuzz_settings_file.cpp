// The settings file as it is read at start-up.

#include "FuzzSupport.h"
#include "SettingsFile.h"

#include <QBuffer>

using namespace tq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QBuffer file;
    file.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    file.open(QIODevice::ReadOnly);
    FUZZ_CHECK(SettingsFile::readPortIndex(file) >= 0);
    return 0;
}
