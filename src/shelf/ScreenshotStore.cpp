#include "shelf/ScreenshotStore.h"

#include "platform/PrivateTempFolder.h"

Screenshot Screenshot::make(const QUrl &url, std::shared_ptr<const QImage> image, double now)
{
    return Screenshot{QUuid::createUuid(), url, std::move(image), now};
}

Screenshot Screenshot::savedAsPng(QImage image, PrivateTempFolder &folder, double now)
{
    const QString path = folder.writePng(image);
    return make(QUrl::fromLocalFile(path), std::make_shared<const QImage>(std::move(image)), now);
}
