#include "ico_file.h"

#include <QtEndian>

namespace artwork {

namespace {

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// One icon image as Windows keeps it in an icon file: a BITMAPINFOHEADER
// (with the height doubled for the mask), 32-bit BGRA rows from the bottom
// up, then the 1-bit AND mask, also bottom up, with rows padded to 4 bytes.
// The mask marks the fully transparent pixels for readers that ignore alpha.
QByteArray iconBitmap(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width();
    const int h = image.height();
    const int maskStride = ((w + 31) / 32) * 4;

    QByteArray out;
    appendLe32(out, 40);                  // biSize
    appendLe32(out, quint32(w));          // biWidth
    appendLe32(out, quint32(2 * h));      // biHeight: colour rows and mask rows
    appendLe16(out, 1);                   // biPlanes
    appendLe16(out, 32);                  // biBitCount
    appendLe32(out, 0);                   // biCompression: BI_RGB
    appendLe32(out, quint32(w * h * 4 + maskStride * h)); // biSizeImage
    appendLe32(out, 0);                   // biXPelsPerMeter
    appendLe32(out, 0);                   // biYPelsPerMeter
    appendLe32(out, 0);                   // biClrUsed
    appendLe32(out, 0);                   // biClrImportant

    for (int y = h - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = qAlpha(row[x]) == 0 ? 0 : row[x];
            out.append(char(qBlue(c)));
            out.append(char(qGreen(c)));
            out.append(char(qRed(c)));
            out.append(char(qAlpha(c)));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) == 0)
                mask[x / 8] = char(uchar(mask[x / 8]) | (0x80u >> (x % 8)));
        }
        out.append(mask);
    }
    return out;
}

} // namespace

// An icon file: the ICONDIR header, one ICONDIRENTRY per image, then the
// images themselves. Sizes up to 256 pixels.
QByteArray iconFile(const QList<QImage> &images)
{
    QList<QByteArray> bitmaps;
    for (const QImage &image : images)
        bitmaps.append(iconBitmap(image));

    QByteArray out;
    appendLe16(out, 0);                      // reserved
    appendLe16(out, 1);                      // type: icon
    appendLe16(out, quint16(images.size())); // image count

    quint32 offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage &image = images[i];
        out.append(char(image.width() >= 256 ? 0 : image.width()));   // 0 stands for 256
        out.append(char(image.height() >= 256 ? 0 : image.height()));
        out.append(char(0));                 // palette size: none
        out.append(char(0));                 // reserved
        appendLe16(out, 1);                  // colour planes
        appendLe16(out, 32);                 // bits per pixel
        appendLe32(out, quint32(bitmaps[i].size()));
        appendLe32(out, offset);
        offset += quint32(bitmaps[i].size());
    }
    for (const QByteArray &bitmap : bitmaps)
        out.append(bitmap);
    return out;
}

} // namespace artwork
