#include "model/ShelfArchive.h"

#include "model/ScreenshotImage.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString typeKey = QStringLiteral("type");
const QString textType = QStringLiteral("text");
const QString screenshotType = QStringLiteral("screenshot");
const QString textKey = QStringLiteral("text");
const QString urlKey = QStringLiteral("url");

StringMap encodeItem(const ShelfItem &item)
{
    if (const QString *text = item.text())
        return {{typeKey, textType}, {textKey, *text}};
    return {{typeKey, screenshotType}, {urlKey, item.screenshot()->url.toLocalFile()}};
}

std::optional<ShelfItemKind> decodeScreenshot(const StringMap &entry, double now, const ThumbnailCache *cache)
{
    const auto url = entry.constFind(urlKey);
    if (url == entry.cend())
        return std::nullopt;
    const QString path = *url;
    // Only absolute paths are ever written; anything else would depend on
    // the folder Zorv happens to be started from.
    if (!QDir::isAbsolutePath(path) || !QFileInfo::exists(path))
        return std::nullopt;
    auto image = ScreenshotImage::load(path, cache);
    if (!image)
        return std::nullopt;
    return Screenshot::make(QUrl::fromLocalFile(path), std::move(image), now);
}

} // namespace

QList<StringMap> ShelfArchive::encode(const QList<ShelfItem> &newestFirst)
{
    QList<StringMap> entries;
    entries.reserve(newestFirst.size());
    for (auto it = newestFirst.crbegin(); it != newestFirst.crend(); ++it)
        entries.append(encodeItem(*it));
    return entries;
}

std::optional<QList<StringMap>> ShelfArchive::asStringMaps(const QVariantList &stored)
{
    QList<StringMap> entries;
    entries.reserve(stored.size());
    for (const QVariant &element : stored) {
        if (element.typeId() != QMetaType::QVariantMap)
            return std::nullopt;
        StringMap entry;
        const QVariantMap map = element.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (it.value().typeId() != QMetaType::QString)
                return std::nullopt;
            entry.insert(it.key(), it.value().toString());
        }
        entries.append(entry);
    }
    return entries;
}

std::optional<ShelfItemKind> ShelfArchive::decode(const StringMap &entry, double now, const ThumbnailCache *cache)
{
    const auto type = entry.constFind(typeKey);
    if (type == entry.cend())
        return std::nullopt;
    if (*type == screenshotType)
        return decodeScreenshot(entry, now, cache);
    if (*type == textType) {
        const auto text = entry.constFind(textKey);
        if (text == entry.cend())
            return std::nullopt;
        return ShelfItemKind(*text);
    }
    return std::nullopt;
}
