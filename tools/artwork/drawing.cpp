#include "drawing.h"

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <vector>

namespace artwork {

namespace {

constexpr int previewWidth = 201;
constexpr int previewHeight = 291;

// ---------------------------------------------------------------------------
// Soft glow

// One pass of a box blur of the given radius along rows (step 1) or columns
// (step = width). Samples outside the picture count as zero.
void boxBlurPass(std::vector<float> &values, int width, int height, int radius, bool alongRows)
{
    const int lines = alongRows ? height : width;
    const int length = alongRows ? width : height;
    const int step = alongRows ? 1 : width;
    const float scale = 1.0f / float(2 * radius + 1);
    std::vector<float> line(std::size_t(length), 0.0f);

    for (int l = 0; l < lines; ++l) {
        const std::size_t first = alongRows ? std::size_t(l) * std::size_t(width) : std::size_t(l);
        for (int i = 0; i < length; ++i)
            line[std::size_t(i)] = values[first + std::size_t(i) * std::size_t(step)];

        float sum = 0.0f;
        for (int i = 0; i <= radius && i < length; ++i)
            sum += line[std::size_t(i)];
        for (int i = 0; i < length; ++i) {
            values[first + std::size_t(i) * std::size_t(step)] = sum * scale;
            const int entering = i + radius + 1;
            const int leaving = i - radius;
            if (entering < length)
                sum += line[std::size_t(entering)];
            if (leaving >= 0)
                sum -= line[std::size_t(leaving)];
        }
    }
}

// A white halo around the shape: the shape, widened by spread pixels, blurred
// to a soft edge and scaled to the given strength (0 to 1).
QImage glow(const QSize &size, const QPainterPath &shape, qreal spread, int blurRadius,
            float strength)
{
    QImage mask(size, QImage::Format_Alpha8);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 2 * spread, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::black);
        p.drawPath(shape);
    }

    const int w = size.width();
    const int h = size.height();
    std::vector<float> alpha(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const uchar *row = mask.constScanLine(y);
        for (int x = 0; x < w; ++x)
            alpha[std::size_t(y) * std::size_t(w) + std::size_t(x)] = float(row[x]) / 255.0f;
    }
    // Three box passes each way come close to a Gaussian blur.
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(alpha, w, h, blurRadius, true);
        boxBlurPass(alpha, w, h, blurRadius, false);
    }

    QImage halo(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<QRgb *>(halo.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float a = std::clamp(alpha[std::size_t(y) * std::size_t(w) + std::size_t(x)]
                                           * strength,
                                       0.0f, 1.0f);
            const int v = int(std::lround(a * 255.0f));
            row[x] = qRgba(v, v, v, v); // white, premultiplied
        }
    }
    return halo;
}

} // namespace

// ---------------------------------------------------------------------------
// Default preview picture

QImage drawPreview(const QString &fontFamily)
{
    QImage image(previewWidth, previewHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Diagonal gradient, mid blue at the top left to light blue at the bottom right.
    QLinearGradient sky(0, 0, previewWidth, previewHeight);
    sky.setColorAt(0.0, QColor(0x2f, 0x6c, 0xc4));
    sky.setColorAt(0.45, QColor(0x6f, 0xa3, 0xe0));
    sky.setColorAt(1.0, QColor(0xd4, 0xe9, 0xfb));
    p.fillRect(image.rect(), sky);

    // A faint brighter patch behind the signature keeps the corner airy.
    QRadialGradient light(QPointF(previewWidth - 55, previewHeight - 30), 110);
    light.setColorAt(0.0, QColor(255, 255, 255, 70));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), light);

    // The name, written by hand in the lower right corner.
    QFont font(fontFamily);
    font.setPixelSize(40);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::ForceOutline);
    QPainterPath name;
    name.addText(0, 0, font, QStringLiteral("Vellumo"));

    // Written slightly uphill, as a signature usually is.
    QTransform slant;
    slant.rotate(-7);
    name = slant.map(name);
    const QRectF bounds = name.boundingRect();
    const qreal marginRight = 12;
    const qreal marginBottom = 14;
    name.translate(previewWidth - marginRight - bounds.right(),
                   previewHeight - marginBottom - bounds.bottom());

    p.drawImage(0, 0, glow(image.size(), name, 2.5, 3, 1.25f));

    // A fine pen of the same colour gives the thin hairlines of the
    // script a little more ink.
    const QColor ink(0x16, 0x22, 0x3f);
    p.setPen(QPen(ink, 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    p.drawPath(name);
    p.end();

    // Stored as plain 24-bit colour.
    return image.convertToFormat(QImage::Format_RGB888);
}

// ---------------------------------------------------------------------------
// Program icon: a speech bubble that holds a small landscape picture.
// The two small sizes have their own outlines, laid on whole or half pixels
// so that the edges stay sharp; larger sizes are the 48-pixel drawing scaled
// up, where a fraction of a pixel no longer shows. The landscape is placed
// relative to the picture.

namespace {

struct IconLayout {
    QRectF body;         // the bubble without its tail, on the outline's centre
    qreal radius;        // of the bubble's corners
    QPolygonF tail;      // joins the body at the bottom left
    qreal outlineWidth;
    QRectF picture;      // whole pixels, inside the white frame
    qreal pictureRadius;
};

IconLayout iconLayout(int size)
{
    if (size >= 48) {
        return {QRectF(3, 4, 42, 31), 7,
                QPolygonF({QPointF(9, 32), QPointF(8, 44), QPointF(21, 34)}), 2,
                QRectF(7, 8, 34, 23), 3};
    }
    return {QRectF(1.5, 2.5, 29, 21), 4.5,
            QPolygonF({QPointF(6, 21), QPointF(5.5, 29.5), QPointF(14, 23)}), 1,
            QRectF(4, 5, 24, 16), 2};
}

} // namespace

QImage drawIcon(int size)
{
    constexpr int largestLayout = 48;
    const IconLayout layout = iconLayout(std::min(size, largestLayout));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (size > largestLayout)
        p.scale(qreal(size) / largestLayout, qreal(size) / largestLayout);

    QPainterPath bubble;
    bubble.addRoundedRect(layout.body, layout.radius, layout.radius);
    QPainterPath tail;
    tail.addPolygon(layout.tail);
    tail.closeSubpath();
    bubble = bubble.united(tail).simplified();

    // Soft shadow one pixel below the bubble.
    p.setPen(QPen(QColor(0, 0, 0, 45), layout.outlineWidth, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawPath(bubble.translated(0, 1));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xfb, 0xfc, 0xff));
    p.drawPath(bubble);

    // The picture.
    const QRectF pic = layout.picture;
    QPainterPath pictureShape;
    pictureShape.addRoundedRect(pic, layout.pictureRadius, layout.pictureRadius);
    p.save();
    p.setClipPath(pictureShape);
    const auto at = [&pic](qreal fx, qreal fy) {
        return QPointF(pic.left() + fx * pic.width(), pic.top() + fy * pic.height());
    };

    QLinearGradient sky(pic.topLeft(), pic.bottomLeft());
    sky.setColorAt(0.0, QColor(0x3a, 0x82, 0xdc));
    sky.setColorAt(1.0, QColor(0xb8, 0xdc, 0xff));
    p.fillRect(pic, sky);

    const QPointF sunCentre = at(0.76, 0.30);
    const qreal sunRadius = pic.height() * 0.18;
    QRadialGradient sunLight(sunCentre, sunRadius);
    sunLight.setColorAt(0.0, QColor(0xff, 0xf4, 0xa8));
    sunLight.setColorAt(1.0, QColor(0xff, 0xc4, 0x20));
    p.setBrush(sunLight);
    p.drawEllipse(sunCentre, sunRadius, sunRadius);

    QPainterPath farHill;
    farHill.moveTo(at(-0.05, 0.72));
    farHill.cubicTo(at(0.20, 0.38), at(0.45, 0.42), at(0.75, 0.72));
    farHill.lineTo(at(1.05, 0.62));
    farHill.lineTo(at(1.05, 1.05));
    farHill.lineTo(at(-0.05, 1.05));
    farHill.closeSubpath();
    p.setBrush(QColor(0x62, 0xbe, 0x52));
    p.drawPath(farHill);

    QPainterPath nearHill;
    nearHill.moveTo(at(-0.05, 0.88));
    nearHill.cubicTo(at(0.35, 0.86), at(0.60, 0.55), at(1.05, 0.60));
    nearHill.lineTo(at(1.05, 1.05));
    nearHill.lineTo(at(-0.05, 1.05));
    nearHill.closeSubpath();
    QLinearGradient grass(at(0, 0.55), at(0, 1.0));
    grass.setColorAt(0.0, QColor(0x2e, 0x9c, 0x3a));
    grass.setColorAt(1.0, QColor(0x1a, 0x6a, 0x28));
    p.setBrush(grass);
    p.drawPath(nearHill);
    p.restore();

    // A faint line around the picture, then the bubble's outline.
    const QColor outline(0x1b, 0x3f, 0x78);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x1b, 0x3f, 0x78, 90), 1));
    p.drawRoundedRect(pic.adjusted(0.5, 0.5, -0.5, -0.5), layout.pictureRadius - 0.5,
                      layout.pictureRadius - 0.5);
    p.setPen(QPen(outline, layout.outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bubble);
    p.end();

    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace artwork
