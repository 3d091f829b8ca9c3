// Loads any bytes as a BMP picture and, when they are one, its transparent
// copy. A bad file raises EInvalidGraphic; nothing else may come out of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>

#include "Bitmap.h"
#include "Exceptions.h"
#include "GuiApplication.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool ready = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return GuiApplication() != nullptr;
    }();
    if (!ready)
        std::abort();
    TBitmap bitmap;
    try {
        bitmap.LoadFromData(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    } catch (const EInvalidGraphic &) {
        return 0;
    }
    bitmap.SetTransparent(true);
    bitmap.Image();
    return 0;
}
