// Draws the programs' pictures: the scanner window's background and button
// glyphs, the installer's page backgrounds, flags, button looks and the
// message window's icon. The pictures are kept in the source tree; this tool
// makes them anew:
//
//   arv_artwork <source folder>
//
// writes scanner/res/ and installer/res/ below that folder. Everything is
// drawn with QPainter, the small pictures at four or eight times their size
// and then scaled down, so that their edges come out smooth.
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const QColor kPageText(7, 74, 135); // the installer's label colour

QImage Canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// An opaque picture of `art` over `key`, the colour that a glyph or a
// transparent image leaves out: nearly empty pixels become the key, edges
// are blended with it, and no drawn pixel keeps the key's exact value.
QImage OverKey(const QImage &art, QColor key)
{
    QImage out(art.size(), QImage::Format_RGB888);
    const QImage source = art.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = source.pixel(x, y);
            const int a = qAlpha(p);
            if (a < 48) {
                out.setPixelColor(x, y, key);
                continue;
            }
            auto mix = [a](int front, int back) { return (front * a + back * (255 - a) + 127) / 255; };
            QColor c(mix(qRed(p), key.red()), mix(qGreen(p), key.green()), mix(qBlue(p), key.blue()));
            if (c == key)
                c.setRed(key.red() > 0 ? key.red() - 1 : 1);
            out.setPixelColor(x, y, c);
        }
    }
    return out;
}

QImage Shrink(const QImage &image, int width, int height)
{
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Pictures are made for screens of 96 dots per inch.
QImage At96Dpi(QImage image)
{
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

bool SaveBmp(const QImage &image, const QString &path)
{
    // A 24-bit picture, as the forms' bitmaps are.
    QImageWriter writer(path, "bmp");
    return writer.write(At96Dpi(image.convertToFormat(QImage::Format_RGB888)));
}

bool SaveJpeg(const QImage &image, const QString &path)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(88);
    return writer.write(At96Dpi(image.convertToFormat(QImage::Format_RGB32)));
}

void Put32(std::vector<unsigned char> &out, unsigned value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void Put16(std::vector<unsigned char> &out, unsigned value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

// An icon file of 32-bit images with their AND masks, one per size.
bool SaveIcon(const std::vector<QImage> &images, const QString &path)
{
    std::vector<std::vector<unsigned char>> bodies;
    for (const QImage &image : images) {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        const int w = argb.width();
        const int h = argb.height();
        std::vector<unsigned char> body;
        Put32(body, 40);
        Put32(body, static_cast<unsigned>(w));
        Put32(body, static_cast<unsigned>(2 * h)); // colour rows, then mask rows
        Put16(body, 1);
        Put16(body, 32);
        for (int i = 0; i < 6; ++i)
            Put32(body, 0);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const QRgb p = argb.pixel(x, y);
                body.push_back(static_cast<unsigned char>(qBlue(p)));
                body.push_back(static_cast<unsigned char>(qGreen(p)));
                body.push_back(static_cast<unsigned char>(qRed(p)));
                body.push_back(static_cast<unsigned char>(qAlpha(p)));
            }
        }
        const int maskStride = ((w + 31) / 32) * 4;
        for (int y = h - 1; y >= 0; --y) {
            std::vector<unsigned char> row(static_cast<size_t>(maskStride), 0);
            for (int x = 0; x < w; ++x) {
                if (qAlpha(argb.pixel(x, y)) < 128)
                    row[static_cast<size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
            body.insert(body.end(), row.begin(), row.end());
        }
        bodies.push_back(body);
    }

    std::vector<unsigned char> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, static_cast<unsigned>(images.size()));
    unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<unsigned char>(images[i].width() & 0xFF));
        file.push_back(static_cast<unsigned char>(images[i].height() & 0xFF));
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<unsigned>(bodies[i].size()));
        Put32(file, offset);
        offset += static_cast<unsigned>(bodies[i].size());
    }
    for (const auto &body : bodies)
        file.insert(file.end(), body.begin(), body.end());

    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return out.write(reinterpret_cast<const char *>(file.data()), static_cast<qint64>(file.size()))
           == static_cast<qint64>(file.size());
}

QLinearGradient Vertical(qreal top, qreal bottom, QColor from, QColor to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

// A soft light spot: white fading out from its centre.
void Glow(QPainter &p, QPointF centre, qreal radius, int alpha)
{
    QRadialGradient g(centre, radius);
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

// A band along a wavy edge: from the edge through (x, y) points to the top
// (up) or the bottom of a picture `height` high.
QPainterPath Band(qreal width, qreal height, qreal leftY, qreal c1Y, qreal c2Y, qreal rightY, bool up)
{
    QPainterPath path;
    path.moveTo(0, leftY);
    path.cubicTo(width * 0.35, c1Y, width * 0.65, c2Y, width, rightY);
    const qreal edge = up ? 0 : height;
    path.lineTo(width, edge);
    path.lineTo(0, edge);
    path.closeSubpath();
    return path;
}

QPainterPath Wave(qreal width, qreal leftY, qreal c1Y, qreal c2Y, qreal rightY)
{
    QPainterPath path;
    path.moveTo(0, leftY);
    path.cubicTo(width * 0.35, c1Y, width * 0.65, c2Y, width, rightY);
    return path;
}

// ---------------------------------------------------------------- scanner

// The main window's background: a calm light blue with soft light across
// it and two quiet waves along the bottom, behind the white status box,
// the buttons and the black labels.
QImage ScannerBackground()
{
    const int w = 426;
    const int h = 345;
    QImage image(w, h, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient base(0, 0, 0, h);
    base.setColorAt(0, QColor(247, 250, 254));
    base.setColorAt(0.6, QColor(234, 242, 250));
    base.setColorAt(1, QColor(219, 232, 246));
    p.fillRect(image.rect(), base);

    // Light falling across the window, as from a scanning lamp.
    p.save();
    p.translate(w / 2.0, h / 2.0);
    p.rotate(-24);
    struct Beam {
        qreal offset, width;
        int alpha;
    };
    for (const Beam &b : {Beam{-150, 70, 70}, Beam{-40, 34, 55}, Beam{60, 90, 45}}) {
        QLinearGradient beam(b.offset - b.width / 2, 0, b.offset + b.width / 2, 0);
        beam.setColorAt(0, QColor(255, 255, 255, 0));
        beam.setColorAt(0.5, QColor(255, 255, 255, b.alpha));
        beam.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(b.offset - b.width / 2, -400, b.width, 800), beam);
    }
    p.restore();

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 218, 240, 150));
    p.drawPath(Band(w, h, 318, 300, 340, 304, false));
    p.setBrush(QColor(176, 204, 234, 150));
    p.drawPath(Band(w, h, 336, 318, 322, 326, false));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    p.drawPath(Wave(w, 318, 300, 340, 304));

    // A thin rule along the top edge.
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(0, 6, QColor(190, 212, 236), QColor(190, 212, 236, 0)));
    p.drawRect(QRectF(0, 0, w, 6));
    return image;
}

// Button glyphs: 32 x 32, drawn at 128 x 128. The bottom-left pixel holds
// the key colour, which the button leaves out; edges are blended with it,
// a light grey close to a button's face.
const QColor kGlyphKey(240, 240, 240);

QImage ScanGlyph()
{
    QImage art = Canvas(128, 128);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);

    // The document, going into the device's slot.
    QPainterPath sheet;
    sheet.moveTo(30, 6);
    sheet.lineTo(82, 6);
    sheet.lineTo(98, 22);
    sheet.lineTo(98, 84);
    sheet.lineTo(30, 84);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(110, 122, 138), 3));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(82, 6);
    corner.lineTo(82, 22);
    corner.lineTo(98, 22);
    p.setBrush(QColor(214, 222, 232));
    p.drawPath(corner);
    p.setPen(QPen(QColor(86, 132, 196), 5, Qt::SolidLine, Qt::RoundCap));
    const QPointF lineEnds[] = {{72, 22}, {88, 33}, {84, 44}, {88, 55}};
    for (QPointF end : lineEnds)
        p.drawLine(QPointF(40, end.y()), end);

    // The lamp's green line across the sheet.
    QLinearGradient lamp(0, 56, 0, 76);
    lamp.setColorAt(0, QColor(80, 230, 110, 0));
    lamp.setColorAt(0.5, QColor(60, 210, 90, 230));
    lamp.setColorAt(1, QColor(80, 230, 110, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(lamp);
    p.drawRect(QRectF(20, 56, 88, 20));
    p.setBrush(QColor(40, 170, 70));
    p.drawRect(QRectF(22, 64, 84, 4));

    // The device.
    QPainterPath body;
    body.addRoundedRect(QRectF(8, 76, 112, 40), 12, 12);
    p.setPen(QPen(QColor(44, 56, 72), 3));
    p.setBrush(Vertical(76, 116, QColor(134, 152, 174), QColor(72, 88, 110)));
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 36, 46));
    p.drawRoundedRect(QRectF(24, 80, 80, 7), 3, 3);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(QRectF(14, 92, 100, 6), 3, 3);
    p.setBrush(QColor(90, 230, 110));
    p.drawEllipse(QPointF(104, 105), 5, 5);
    p.end();
    return OverKey(Shrink(art, 32, 32), kGlyphKey);
}

QImage CloseGlyph()
{
    QImage art = Canvas(128, 128);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(QPointF(50, 40), 80);
    disc.setColorAt(0, QColor(250, 120, 104));
    disc.setColorAt(0.55, QColor(214, 48, 40));
    disc.setColorAt(1, QColor(160, 22, 22));
    p.setPen(QPen(QColor(128, 18, 18), 4));
    p.setBrush(disc);
    p.drawEllipse(QPointF(64, 64), 54, 54);
    // Shine on the upper half.
    QPainterPath shine;
    shine.addEllipse(QRectF(28, 16, 72, 44));
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(16, 60, QColor(255, 255, 255, 110), QColor(255, 255, 255, 0)));
    p.drawPath(shine);
    p.setPen(QPen(QColor(110, 10, 10, 90), 18, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(44, 46), QPointF(84, 86));
    p.drawLine(QPointF(84, 46), QPointF(44, 86));
    p.setPen(QPen(QColor(255, 255, 255), 15, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(44, 44), QPointF(84, 84));
    p.drawLine(QPointF(84, 44), QPointF(44, 84));
    p.end();
    return OverKey(Shrink(art, 32, 32), kGlyphKey);
}

QImage FolderGlyph()
{
    QImage art = Canvas(128, 128);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);

    // Back of the folder with its tab.
    QPainterPath back;
    back.moveTo(8, 40);
    back.lineTo(8, 112);
    back.lineTo(112, 112);
    back.lineTo(112, 48);
    back.lineTo(56, 48);
    back.lineTo(48, 38);
    back.lineTo(14, 38);
    back.closeSubpath();
    p.setPen(QPen(QColor(160, 110, 20), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Vertical(38, 112, QColor(232, 176, 56), QColor(200, 140, 30)));
    p.drawPath(back);

    // The green arrow going down into it.
    QPainterPath arrow;
    arrow.moveTo(78, 4);
    arrow.lineTo(98, 4);
    arrow.lineTo(98, 40);
    arrow.lineTo(114, 40);
    arrow.lineTo(88, 70);
    arrow.lineTo(62, 40);
    arrow.lineTo(78, 40);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(26, 100, 36), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient green(62, 0, 114, 0);
    green.setColorAt(0, QColor(120, 214, 100));
    green.setColorAt(1, QColor(46, 150, 56));
    p.setBrush(green);
    p.drawPath(arrow);

    // The open front flap.
    QPainterPath front;
    front.moveTo(20, 60);
    front.lineTo(124, 60);
    front.lineTo(112, 112);
    front.lineTo(8, 112);
    front.closeSubpath();
    p.setPen(QPen(QColor(160, 110, 20), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Vertical(60, 112, QColor(255, 222, 110), QColor(242, 184, 48)));
    p.drawPath(front);
    p.setPen(QPen(QColor(255, 246, 200, 200), 3));
    p.drawLine(QPointF(24, 66), QPointF(118, 66));
    p.end();
    return OverKey(Shrink(art, 32, 32), kGlyphKey);
}

// -------------------------------------------------------------- installer

// The wizard's backgrounds are 685 x 428 and are shown stretched to a
// 554 x 428 panel, so they are drawn in the panel's coordinates and
// widened: circles then look round on screen.
constexpr int kBgWidth = 685;
constexpr int kBgHeight = 428;
constexpr qreal kPanelWidth = 554;

void PageBase(QPainter &p)
{
    const qreal w = kPanelWidth;
    const qreal h = kBgHeight;
    QLinearGradient base(0, 0, 0, h);
    base.setColorAt(0, QColor(252, 253, 255));
    base.setColorAt(0.7, QColor(242, 247, 252));
    base.setColorAt(1, QColor(230, 239, 249));
    p.fillRect(QRectF(0, 0, w, h), base);

    Glow(p, QPointF(470, 140), 120, 150);
    Glow(p, QPointF(90, 300), 110, 110);

    // Header: a wave across the top, light enough under the small Exit.
    QLinearGradient header(0, 0, w, 0);
    header.setColorAt(0, QColor(190, 215, 240));
    header.setColorAt(1, QColor(222, 236, 250));
    p.setPen(Qt::NoPen);
    p.setBrush(header);
    p.drawPath(Band(w, h, 44, 50, 18, 30, true));
    p.setBrush(QColor(170, 202, 234, 120));
    p.drawPath(Band(w, h, 30, 40, 8, 16, true));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(150, 188, 226, 170), 1.6));
    p.drawPath(Wave(w, 50, 56, 24, 36));

    // Footer: waves under Prev, the flags and Menu.
    QLinearGradient footer(0, 0, w, 0);
    footer.setColorAt(0, QColor(214, 230, 246));
    footer.setColorAt(1, QColor(200, 222, 244));
    p.setPen(Qt::NoPen);
    p.setBrush(footer);
    p.drawPath(Band(w, h, 394, 380, 410, 396, false));
    p.setBrush(QColor(188, 214, 240, 110));
    p.drawPath(Band(w, h, 412, 398, 404, 406, false));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 230), 1.6));
    p.drawPath(Wave(w, 394, 380, 410, 396));
    p.setPen(QPen(QColor(160, 196, 230, 150), 1.2));
    p.drawPath(Wave(w, 387, 372, 402, 388));

    // A fine rule under the page title.
    QLinearGradient rule(52, 0, 420, 0);
    rule.setColorAt(0, QColor(kPageText.red(), kPageText.green(), kPageText.blue(), 110));
    rule.setColorAt(1, QColor(kPageText.red(), kPageText.green(), kPageText.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(rule);
    p.drawRect(QRectF(52, 98, 368, 1.5));
}

QImage WizardBackground(bool home)
{
    QImage image(kBgWidth, kBgHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(QTransform::fromScale(kBgWidth / kPanelWidth, 1));
    PageBase(p);
    if (!home)
        return image;

    // The home page shows the fax machine, in soft colours, right of the
    // menu entries.
    p.translate(392, 150);
    QRadialGradient shadow(QPointF(80, 166), 80);
    shadow.setColorAt(0, QColor(40, 70, 110, 60));
    shadow.setColorAt(1, QColor(40, 70, 110, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.save();
    p.translate(80, 166);
    p.scale(1, 0.12);
    p.drawEllipse(QPointF(0, 0), 80, 80);
    p.restore();

    const QColor outline(150, 174, 204);
    // A page in the feeder at the back.
    p.save();
    p.translate(78, 40);
    p.rotate(-6);
    p.setPen(QPen(outline, 1.2));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(-34, -42, 68, 60));
    p.setPen(QPen(QColor(150, 180, 220), 2.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(-24, -32 + 9 * i), QPointF(i % 2 ? 12 : 22, -32 + 9 * i));
    p.restore();

    // Sloped top with the display and the keys.
    QPolygonF top({QPointF(12, 76), QPointF(148, 76), QPointF(134, 46), QPointF(28, 46)});
    p.setPen(QPen(outline, 1.2));
    p.setBrush(Vertical(46, 76, QColor(226, 234, 244), QColor(204, 216, 232)));
    p.drawPolygon(top);
    p.setBrush(QColor(40, 52, 68));
    p.drawRoundedRect(QRectF(46, 52, 70, 6), 3, 3);
    p.setPen(QPen(QColor(120, 150, 130), 1));
    p.setBrush(Vertical(60, 70, QColor(188, 232, 214), QColor(156, 212, 190)));
    p.drawRoundedRect(QRectF(32, 61, 36, 10), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 162, 196));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRoundedRect(QRectF(80 + 13 * col, 60.5 + 6.5 * row, 9, 4.5), 1.5, 1.5);

    // Body.
    p.setPen(QPen(outline, 1.2));
    p.setBrush(Vertical(76, 150, QColor(240, 245, 251), QColor(204, 216, 232)));
    p.drawRoundedRect(QRectF(6, 76, 148, 74), 12, 12);
    p.setBrush(QColor(120, 140, 168));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(24, 116, 112, 5), 2.5, 2.5);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRoundedRect(QRectF(14, 84, 132, 10), 5, 5);
    p.setBrush(QColor(110, 205, 130));
    p.drawEllipse(QPointF(138, 104), 3.2, 3.2);

    // A printed page coming out in front.
    QPolygonF out({QPointF(34, 119), QPointF(126, 119), QPointF(134, 144), QPointF(26, 144)});
    p.setPen(QPen(outline, 1.2));
    p.setBrush(QColor(255, 255, 255));
    p.drawPolygon(out);
    p.setPen(QPen(QColor(170, 196, 228), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(42, 128), QPointF(104, 128));
    p.drawLine(QPointF(40, 136), QPointF(116, 136));
    return image;
}

// Flags: 24-bit, drawn eight times larger and scaled down.
QImage ChinaFlag()
{
    const int s = 8;
    QImage art = Canvas(48 * s, 33 * s);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(art.rect(), QColor(222, 41, 16));
    // The flag's grid is 30 x 20 units.
    p.scale(48.0 * s / 30, 33.0 * s / 20);
    auto star = [&p](QPointF centre, qreal radius, qreal towards) {
        QPolygonF points;
        for (int i = 0; i < 10; ++i) {
            const qreal r = i % 2 ? radius * 0.382 : radius;
            const qreal angle = towards + i * M_PI / 5;
            points << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 222, 0));
        p.drawPolygon(points);
    };
    const QPointF big(5, 5);
    star(big, 3, -M_PI / 2);
    for (QPointF small : {QPointF(10, 2), QPointF(12, 4), QPointF(12, 7), QPointF(10, 9)}) {
        const QPointF d = big - small;
        star(small, 1, std::atan2(d.y(), d.x()));
    }
    p.end();
    return Shrink(art, 48, 33).convertToFormat(QImage::Format_RGB888);
}

QImage FranceFlag()
{
    const int s = 8;
    QImage art = Canvas(48 * s, 33 * s);
    QPainter p(&art);
    p.fillRect(QRect(0, 0, 16 * s, 33 * s), QColor(0, 38, 150));
    p.fillRect(QRect(16 * s, 0, 16 * s, 33 * s), QColor(255, 255, 255));
    p.fillRect(QRect(32 * s, 0, 16 * s, 33 * s), QColor(237, 41, 57));
    p.end();
    return Shrink(art, 48, 33).convertToFormat(QImage::Format_RGB888);
}

QImage UnitedKingdomFlag()
{
    const int s = 8;
    QImage art = Canvas(64 * s, 33 * s);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    // The flag's grid is 60 x 30 units.
    p.scale(64.0 * s / 60, 33.0 * s / 30);
    p.setClipRect(QRectF(0, 0, 60, 30));
    const QColor blue(1, 33, 105);
    const QColor red(200, 16, 46);
    p.fillRect(QRectF(0, 0, 60, 30), blue);
    QPainterPath diagonals;
    diagonals.moveTo(0, 0);
    diagonals.lineTo(60, 30);
    diagonals.moveTo(60, 0);
    diagonals.lineTo(0, 30);
    p.setPen(QPen(Qt::white, 6));
    p.drawPath(diagonals);
    // The red diagonals lie off the centre lines, each on the side that
    // turns clockwise, so that the white shows wider on the other side.
    QPainterPath quarters;
    quarters.addPolygon(QPolygonF({QPointF(30, 15), QPointF(60, 15), QPointF(60, 30)}));
    quarters.addPolygon(QPolygonF({QPointF(30, 15), QPointF(30, 30), QPointF(0, 30)}));
    quarters.addPolygon(QPolygonF({QPointF(30, 15), QPointF(0, 15), QPointF(0, 0)}));
    quarters.addPolygon(QPolygonF({QPointF(30, 15), QPointF(30, 0), QPointF(60, 0)}));
    p.save();
    p.setClipPath(quarters, Qt::IntersectClip);
    p.setPen(QPen(red, 4));
    p.drawPath(diagonals);
    p.restore();
    QPainterPath cross;
    cross.moveTo(30, 0);
    cross.lineTo(30, 30);
    cross.moveTo(0, 15);
    cross.lineTo(60, 15);
    p.setPen(QPen(Qt::white, 10));
    p.drawPath(cross);
    p.setPen(QPen(red, 6));
    p.drawPath(cross);
    p.end();
    return Shrink(art, 64, 33).convertToFormat(QImage::Format_RGB888);
}

// Button looks: 88 x 52, a rounded button with an arrow, drawn at four
// times the size. Their images are shown transparent: the bottom-left
// pixel's colour, a pale blue like the pages behind them, is left out.
const QColor kButtonKey(244, 248, 252);

enum class Look { Normal, Hover, Pressed };

QImage ButtonLook(Look look)
{
    const int s = 4;
    QImage art = Canvas(88 * s, 52 * s);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(s, s);
    const QRectF pill(3, 4, 82, 44);
    const qreal radius = 22;

    // Shadow under the button; a pressed button sits on it.
    if (look != Look::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 50, 90, 60));
        p.drawRoundedRect(pill.translated(0, 2), radius, radius);
    }

    QColor top, bottom, rim;
    switch (look) {
    case Look::Normal:
        top = QColor(84, 152, 216);
        bottom = QColor(18, 76, 146);
        rim = QColor(12, 54, 110);
        break;
    case Look::Hover:
        top = QColor(128, 196, 248);
        bottom = QColor(34, 116, 200);
        rim = QColor(20, 84, 156);
        break;
    case Look::Pressed:
        top = QColor(12, 54, 112);
        bottom = QColor(48, 112, 182);
        rim = QColor(8, 40, 86);
        break;
    }
    const QRectF face = look == Look::Pressed ? pill.translated(0, 1.5) : pill;
    p.setPen(QPen(rim, 1.5));
    p.setBrush(Vertical(face.top(), face.bottom(), top, bottom));
    p.drawRoundedRect(face, radius, radius);

    if (look == Look::Pressed) {
        // Shade along the inner top edge.
        p.setPen(Qt::NoPen);
        p.setBrush(Vertical(face.top(), face.top() + 12, QColor(0, 20, 50, 90), QColor(0, 20, 50, 0)));
        p.drawRoundedRect(face.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    } else {
        // Shine on the upper half.
        p.setPen(Qt::NoPen);
        p.setBrush(Vertical(face.top() + 2, face.center().y(), QColor(255, 255, 255, 150),
                            QColor(255, 255, 255, 20)));
        p.drawRoundedRect(QRectF(face.left() + 8, face.top() + 2, face.width() - 16, face.height() / 2 - 2), 12,
                          12);
    }
    if (look == Look::Hover) {
        p.setPen(QPen(QColor(255, 255, 255, 170), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(face.adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    }

    // The arrow, pointing on.
    const QPointF c = face.center() + QPointF(2, 0);
    QPolygonF arrow({c + QPointF(-9, -12), c + QPointF(11, 0), c + QPointF(-9, 12)});
    p.setPen(QPen(QColor(0, 30, 70, 110), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(arrow.translated(0.5, 1.2));
    p.setPen(QPen(look == Look::Hover ? QColor(255, 236, 150) : QColor(255, 255, 255), 2.5, Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(look == Look::Hover ? QColor(255, 236, 150) : QColor(255, 255, 255));
    p.drawPolygon(arrow);
    p.end();
    return OverKey(Shrink(art, 88, 52), kButtonKey);
}

// The message window's icon: a blue tile with an arrow going down into a
// tray, the installer's sign, at 16, 32 and 48 pixels.
QImage MessageIcon(int size)
{
    const int s = 8;
    const int big = size * s;
    QImage art = Canvas(big, big);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(big / 64.0, big / 64.0);
    p.setPen(QPen(QColor(10, 50, 104), 2));
    p.setBrush(Vertical(2, 62, QColor(96, 166, 230), QColor(16, 74, 146)));
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(4, 30, QColor(255, 255, 255, 120), QColor(255, 255, 255, 10)));
    p.drawRoundedRect(QRectF(8, 5, 48, 24), 10, 10);

    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(14, 38);
    tray.lineTo(14, 50);
    tray.lineTo(50, 50);
    tray.lineTo(50, 38);
    p.drawPath(tray);
    QPolygonF arrow({QPointF(27, 10), QPointF(37, 10), QPointF(37, 26), QPointF(45, 26), QPointF(32, 41),
                     QPointF(19, 26), QPointF(27, 26)});
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 255, 255));
    p.drawPolygon(arrow);
    p.end();
    return Shrink(art, size, size);
}

bool Report(bool ok, const QString &path)
{
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "cannot write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <source folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString scanner = root.filePath("scanner/res");
    const QString installer = root.filePath("installer/res");
    if (!QDir().mkpath(scanner) || !QDir().mkpath(installer)) {
        std::fprintf(stderr, "cannot make the res folders below %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    auto in = [](const QString &folder, const char *name) { return QDir(folder).filePath(name); };
    QString path;
    ok &= Report(SaveJpeg(ScannerBackground(), path = in(scanner, "background.jpg")), path);
    ok &= Report(SaveBmp(ScanGlyph(), path = in(scanner, "scan.bmp")), path);
    ok &= Report(SaveBmp(CloseGlyph(), path = in(scanner, "close.bmp")), path);
    ok &= Report(SaveBmp(FolderGlyph(), path = in(scanner, "folder.bmp")), path);

    ok &= Report(SaveJpeg(WizardBackground(true), path = in(installer, "home.jpg")), path);
    ok &= Report(SaveJpeg(WizardBackground(false), path = in(installer, "page.jpg")), path);
    ok &= Report(SaveBmp(ChinaFlag(), path = in(installer, "flag_cn.bmp")), path);
    ok &= Report(SaveBmp(FranceFlag(), path = in(installer, "flag_fr.bmp")), path);
    ok &= Report(SaveBmp(UnitedKingdomFlag(), path = in(installer, "flag_uk.bmp")), path);
    ok &= Report(SaveBmp(ButtonLook(Look::Normal), path = in(installer, "button_normal.bmp")), path);
    ok &= Report(SaveBmp(ButtonLook(Look::Hover), path = in(installer, "button_hover.bmp")), path);
    ok &= Report(SaveBmp(ButtonLook(Look::Pressed), path = in(installer, "button_pressed.bmp")), path);
    ok &= Report(SaveIcon({MessageIcon(48), MessageIcon(32), MessageIcon(16)}, path = in(installer, "message.ico")),
                 path);
    return ok ? 0 : 1;
}
