#include "transfer/DropDecoder.h"

#include "platform/ImageFile.h"
#include "platform/Pasteboard.h"
#include "platform/PrivateTempFolder.h"
#include "transfer/DropContent.h"

#include <QFile>
#include <QMimeData>

#include <unistd.h>

namespace {

const QStringList acceptedTypes = {QStringLiteral("text/plain"), QStringLiteral("text/uri-list"),
                                   QStringLiteral("image/tiff"), QStringLiteral("image/png")};

} // namespace

bool DropDecoder::isAcceptable(const QMimeData *data)
{
    if (!data || Pasteboard::isConcealed(data))
        return false;
    for (const QString &type : acceptedTypes) {
        if (data->hasFormat(type))
            return true;
    }
    // Qt offers images it made itself under its own type.
    return data->hasImage();
}

DropContent DropDecoder::contentOf(const QMimeData *data)
{
    return data && !Pasteboard::isConcealed(data) ? DropContent::of(data) : DropContent();
}

std::optional<ShelfItemKind> DropDecoder::itemFor(const DropContent &content, PrivateTempFolder &folder,
                                                  const ThumbnailCache *thumbnails, double now)
{
    if (!content.filePath.isEmpty()) {
        if (auto image = ScreenshotImage::load(content.filePath, thumbnails))
            return Screenshot::ofFile(content.filePath, std::move(image), folder, now);
        return ShelfItemKind(content.filePath);
    }
    const QImage image =
        content.imageBytes.isEmpty() ? content.image : ImageFile::decode(content.imageBytes, content.imageFormat);
    if (!image.isNull()) {
        // A PNG is kept byte for byte; anything else is written as one.
        const QByteArray png = content.imageFormat == "png" ? content.imageBytes : QByteArray();
        if (std::optional<Screenshot> saved = Screenshot::savedAsPng(image, folder, now, png))
            return ShelfItemKind(std::move(*saved));
    }
    // An image that does not decode, or cannot be kept, leaves the text.
    if (!content.text.isEmpty())
        return ShelfItemKind(content.text);
    return std::nullopt;
}

bool DropDecoder::promisesItem(const DropContent &content, PrivateTempFolder &folder)
{
    if (!content.filePath.isEmpty() || !content.text.isEmpty())
        return true;
    if (content.imageBytes.isEmpty() && content.image.isNull())
        return false;
    // The image's header reads; it becomes an item if its PNG can be kept.
    const QString path = folder.path();
    return !path.isEmpty() && ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}
