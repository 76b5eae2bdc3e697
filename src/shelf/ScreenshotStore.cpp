#include "shelf/ScreenshotStore.h"

#include "platform/ImageFile.h"
#include "platform/PrivateTempFolder.h"

Screenshot Screenshot::make(const QUrl &url, std::shared_ptr<const ScreenshotImage> image, double now)
{
    return Screenshot{QUuid::createUuid(), url, std::move(image), now, nullptr};
}

Screenshot Screenshot::savedAsPng(QImage image, PrivateTempFolder &folder, double now)
{
    const QString path = folder.writePng(image);
    return ofFile(path, ScreenshotImage::open(path, ImageFile::thumbnail(image), image.size(), "png"), folder, now);
}

Screenshot Screenshot::ofFile(const QString &path, std::shared_ptr<const ScreenshotImage> image,
                              PrivateTempFolder &folder, double now)
{
    Screenshot screenshot = make(QUrl::fromLocalFile(path), std::move(image), now);
    screenshot.privateFile = folder.hold(path);
    return screenshot;
}
