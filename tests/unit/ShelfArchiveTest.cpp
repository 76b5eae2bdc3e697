#include "TestImages.h"
#include "model/ShelfArchive.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

TEST(ShelfArchiveTest, ScreenshotPathsAreStoredPlainNotAsEncodedUrls)
{
    const QString path = QStringLiteral("/tmp/with space/ünïcode%20.png");
    const ShelfItem item = ShelfItem::make(Screenshot::make(QUrl::fromLocalFile(path), nullptr, 0), 0);
    const QList<StringMap> encoded = ShelfArchive::encode({item});
    ASSERT_EQ(encoded.size(), 1);
    EXPECT_EQ(encoded.first().value("url"), path);
    EXPECT_EQ(encoded.first().size(), 2);
}

TEST(ShelfArchiveTest, TextIsStoredExactlyAsReceived)
{
    const QString text = QStringLiteral("  line one\n\tline two, with \"quotes\" = and ; semicolons  ");
    const QList<StringMap> encoded = ShelfArchive::encode({ShelfItem::make(text, 0)});
    EXPECT_EQ(encoded.first().value("text"), text);
    const auto decoded = ShelfArchive::decode(encoded.first(), 0);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(std::get<QString>(*decoded), text);
}

TEST(ShelfArchiveTest, RestoredScreenshotsGetFreshIdentities)
{
    QTemporaryDir folder;
    const QString path = TestImages::writePng(folder.path(), "a.png");
    const StringMap entry{{"type", "screenshot"}, {"url", path}};
    const auto first = ShelfArchive::decode(entry, 5.0);
    const auto second = ShelfArchive::decode(entry, 5.0);
    ASSERT_TRUE(first && second);
    const Screenshot &a = std::get<Screenshot>(*first);
    const Screenshot &b = std::get<Screenshot>(*second);
    EXPECT_NE(a.id, b.id);
    EXPECT_FALSE(a == b); // two loads are two image objects
    EXPECT_EQ(a.capturedAt, 5.0);
    EXPECT_EQ(a.url, QUrl::fromLocalFile(path));
}

TEST(ShelfArchiveTest, OnlyListsOfStringMapsAreAccepted)
{
    EXPECT_TRUE(ShelfArchive::asStringMaps({}));
    EXPECT_TRUE(ShelfArchive::asStringMaps({QVariantMap{}, QVariantMap{{"type", "text"}}}));
    EXPECT_FALSE(ShelfArchive::asStringMaps({QVariantMap{{"type", QByteArray("text")}}}));
    EXPECT_FALSE(ShelfArchive::asStringMaps({QVariantMap{{"type", QStringList{"a", "b"}}}}));
    EXPECT_FALSE(ShelfArchive::asStringMaps({QVariant(QStringLiteral("text"))}));
    EXPECT_FALSE(ShelfArchive::asStringMaps({QVariantMap{{"type", "text"}}, QVariantList{}}));
}

} // namespace
