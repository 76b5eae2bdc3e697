#include "views/DropContent.h"

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

QByteArray readableFormat(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    return reader.canRead() && reader.size().isValid() ? reader.format() : QByteArray();
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
    for (const QString &type : imageTypes) {
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

bool DropContent::isEmpty() const
{
    return filePath.isEmpty() && imageBytes.isEmpty() && image.isNull() && text.isEmpty();
}
