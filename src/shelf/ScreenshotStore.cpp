#include "shelf/ScreenshotStore.h"

Screenshot Screenshot::make(const QUrl &url, std::shared_ptr<const QImage> image, double now)
{
    return Screenshot{QUuid::createUuid(), url, std::move(image), now};
}
