#include "model/ScreenshotStore.h"

#include "platform/ImageFile.h"
#include "platform/PrivateTempFolder.h"

Screenshot Screenshot::make(const QUrl &url, std::shared_ptr<const ScreenshotImage> image, double now)
{
    return Screenshot{QUuid::createUuid(), url, std::move(image), now, nullptr};
}

std::optional<Screenshot> Screenshot::savedAsPng(const QImage &image, PrivateTempFolder &folder, double now,
                                                const QByteArray &png)
{
    const QString path = png.isEmpty() ? folder.writePng(image) : folder.writePngData(png);
    auto opened = path.isEmpty() ? nullptr : ScreenshotImage::open(path, ImageFile::thumbnail(image), image.size(), "png");
    if (!opened)
        return std::nullopt; // nothing on disk to copy from later
    return ofFile(path, std::move(opened), folder, now);
}

Screenshot Screenshot::ofFile(const QString &path, std::shared_ptr<const ScreenshotImage> image,
                              PrivateTempFolder &folder, double now)
{
    Screenshot screenshot = make(QUrl::fromLocalFile(path), std::move(image), now);
    screenshot.privateFile = folder.hold(path);
    return screenshot;
}
