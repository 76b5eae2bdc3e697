#include "platform/PngEncoder.h"

#include <QImage>
#include <QtEndian>

#include <vector>
#include <zlib.h>

namespace {

constexpr char signature[] = "\x89PNG\r\n\x1a\n";
constexpr quint8 colorTypeRgb = 2;
constexpr quint8 colorTypeRgba = 6;
constexpr quint8 filterSub = 1;

void appendChunk(QByteArray &png, const char type[4], const QByteArray &data)
{
    quint32 length = qToBigEndian(quint32(data.size()));
    png.append(reinterpret_cast<const char *>(&length), 4);
    const qsizetype typeAt = png.size();
    png.append(type, 4);
    png.append(data);
    const quint32 crc = quint32(::crc32(0, reinterpret_cast<const Bytef *>(png.constData() + typeAt),
                                        uInt(png.size() - typeAt)));
    const quint32 bigCrc = qToBigEndian(crc);
    png.append(reinterpret_cast<const char *>(&bigCrc), 4);
}

} // namespace

QByteArray PngEncoder::encode(const QImage &image)
{
    if (image.isNull())
        return {};
    const bool alpha = image.hasAlphaChannel();
    const QImage rows = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int pixelBytes = alpha ? 4 : 3;
    const qsizetype rowBytes = qsizetype(rows.width()) * pixelBytes;

    QByteArray header(13, '\0');
    qToBigEndian(quint32(rows.width()), header.data());
    qToBigEndian(quint32(rows.height()), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = char(alpha ? colorTypeRgba : colorTypeRgb);

    z_stream stream{};
    if (deflateInit2(&stream, zlibLevel, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK)
        return {};
    const uLong rawSize = uLong(rows.height()) * uLong(rowBytes + 1);
    // The bound holds for one call; row by row, a little slack covers the
    // flushes. Should it still run out, the encoding fails rather than grows.
    QByteArray compressed(qsizetype(deflateBound(&stream, rawSize) + rawSize / 256 + 1024), Qt::Uninitialized);
    stream.next_out = reinterpret_cast<Bytef *>(compressed.data());
    stream.avail_out = uInt(compressed.size());
    // Sub: each byte minus the same byte of the pixel to its left, which
    // turns the flat areas of a screen into runs of zeros.
    std::vector<Bytef> filtered(size_t(rowBytes + 1));
    filtered[0] = filterSub;
    bool ok = true;
    for (int y = 0; y < rows.height() && ok; ++y) {
        const uchar *row = rows.constScanLine(y);
        for (qsizetype i = 0; i < rowBytes; ++i)
            filtered[size_t(i + 1)] = Bytef(row[i] - (i >= pixelBytes ? row[i - pixelBytes] : 0));
        stream.next_in = filtered.data();
        stream.avail_in = uInt(filtered.size());
        const int flush = y + 1 == rows.height() ? Z_FINISH : Z_NO_FLUSH;
        const int result = deflate(&stream, flush);
        ok = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK && stream.avail_in == 0;
    }
    compressed.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    if (!ok)
        return {};

    QByteArray png(signature, 8);
    png.reserve(compressed.size() + 64);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
}
