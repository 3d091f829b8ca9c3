#include "Graphic.h"

#include <QFile>
#include <QPainter>
#include <QRect>

#include "AnsiString.h"
#include "AnsiText.h"
#include "Exceptions.h"
#include "MemoryStream.h"

TGraphic::~TGraphic() = default;

void TGraphic::LoadFromFile(const AnsiString &FileName) { LoadFromData(ReadGraphicFile(FileName)); }

void TGraphic::Draw(QPainter &Painter, const QRect &Target) const
{
    if (Empty() || Target.isEmpty())
        return;
    Painter.save();
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    Painter.drawImage(Target, Image());
    Painter.restore();
}

QByteArray ReadGraphicFile(const AnsiString &FileName)
{
    if (FileName.str().compare(0, 2, ":/") == 0) {
        QFile file(AnsiToText(FileName));
        if (!file.open(QIODevice::ReadOnly))
            throw EFOpenError("Cannot open file \"" + FileName + "\"");
        return file.readAll();
    }
    TMemoryStream stream;
    stream.LoadFromFile(FileName);
    return QByteArray(static_cast<const char *>(stream.Memory()), stream.Size());
}
