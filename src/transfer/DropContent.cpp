#include "transfer/DropContent.h"

#include "platform/ImageFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace {

// The image types to look for, PNG and TIFF first: what screenshots and
// image editors usually offer.
QStringList imageTypesInOrder()
{
    QStringList types{QStringLiteral("image/png"), QStringLiteral("image/tiff")};
    for (const QByteArray &type : QImageReader::supportedMimeTypes()) {
        const QString name = QString::fromLatin1(type);
        if (!types.contains(name))
            types.append(name);
    }
    return types;
}

// Browsers offer a dragged web image's bytes under this type, beside its
// address as text.
const QString untypedBytes = QStringLiteral("application/octet-stream");

// Decoded images take four bytes a pixel in most formats; a header that
// promises more than the decode limit allows yields no image.
bool fitsDecodeLimit(const QSize &size)
{
    constexpr qint64 bytesPerPixel = 4;
    constexpr qint64 limit = qint64(ImageFile::allocationLimitMegabytes) * 1024 * 1024;
    return size.isValid() && qint64(size.width()) * size.height() * bytesPerPixel <= limit;
}

QByteArray readableFormat(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    return reader.canRead() && fitsDecodeLimit(reader.size()) ? reader.format() : QByteArray();
}

} // namespace

DropContent DropContent::of(const QMimeData *data)
{
    DropContent content;
    if (!data)
        return content;
    for (const QUrl &url : data->urls()) {
        // A file URL without a path ("file://") names no file.
        const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
        if (!path.isEmpty()) {
            content.filePath = path;
            return content;
        }
    }
    static const QStringList imageTypes = imageTypesInOrder();
    bool offersEncodedImage = false;
    for (const QString &type : imageTypes + QStringList{untypedBytes}) {
        if (!data->hasFormat(type))
            continue;
        offersEncodedImage = true;
        const QByteArray bytes = data->data(type);
        const QByteArray format = readableFormat(bytes);
        if (!format.isEmpty()) {
            content.imageBytes = bytes;
            content.imageFormat = format;
            break;
        }
    }
    // Only data made in this process holds an image without offering it
    // encoded; for data from elsewhere, Qt would decode the bytes here.
    if (!offersEncodedImage && data->hasImage())
        content.image = qvariant_cast<QImage>(data->imageData());
    if (data->hasText())
        content.text = data->text();
    return content;
}
