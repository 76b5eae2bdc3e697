#include "TestImages.h"
#include "TestServices.h"
#include "views/ShelfDropTargetView.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Drags the data onto the view and drops it; true when the drop is taken.
bool drop(ShelfDropTargetView &on, const QMimeData &data)
{
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&on, &enter);
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&on, &dropped);
    return dropped.isAccepted();
}

class ShelfDropTargetViewTest : public ::testing::Test
{
protected:
    TestServices fake;
    QTemporaryDir folder;
    ShelfDropTargetView target{fake.tempFolder, fake.scheduler, fake.tasks};
};

TEST_F(ShelfDropTargetViewTest, OnlyTheFirstOfSeveralFilesIsTakenInPlace)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(TestImages::writePng(folder.path(), "a.png")),
                  QUrl::fromLocalFile(TestImages::writePng(folder.path(), "b.png")),
                  QUrl::fromLocalFile(TestImages::writePng(folder.path(), "c.png"))});
    const auto kind = target.itemFor(&data);
    ASSERT_TRUE(kind);
    const Screenshot *shot = std::get_if<Screenshot>(&*kind);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->url, QUrl::fromLocalFile(folder.filePath("a.png")));
    ASSERT_TRUE(shot->image);
}

TEST_F(ShelfDropTargetViewTest, AFileThatIsNoImageBecomesItsPath)
{
    QFile notes(folder.filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("plain text");
    notes.close();
    QMimeData data;
    data.setUrls({QUrl("https://example.com/not-a-file"), QUrl("file://"), QUrl::fromLocalFile(notes.fileName())});
    data.setText("ignored text");
    const auto kind = target.itemFor(&data);
    ASSERT_TRUE(kind);
    EXPECT_EQ(std::get<QString>(*kind), notes.fileName());
}

TEST_F(ShelfDropTargetViewTest, ImageDataBecomesAPrivatePng)
{
    QImage image(5, 5, QImage::Format_ARGB32);
    image.fill(QColor(1, 2, 3, 200));
    QMimeData data;
    data.setImageData(image);
    const auto kind = target.itemFor(&data);
    ASSERT_TRUE(kind);
    const Screenshot &shot = std::get<Screenshot>(*kind);
    EXPECT_EQ(QFileInfo(shot.url.toLocalFile()).absolutePath(), fake.tempFolder.path());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(shot.url.toLocalFile()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(QImage(shot.url.toLocalFile()).pixelColor(2, 2), QColor(1, 2, 3, 200));
}

TEST_F(ShelfDropTargetViewTest, TextIsKeptUntrimmedAndEmptyTextIsRefused)
{
    QMimeData spaces;
    spaces.setText("   ");
    const auto kind = target.itemFor(&spaces);
    ASSERT_TRUE(kind);
    EXPECT_EQ(std::get<QString>(*kind), "   ");

    QMimeData empty;
    empty.setText("");
    EXPECT_FALSE(target.itemFor(&empty));
}

TEST_F(ShelfDropTargetViewTest, PasswordsAndForeignTypesAreRefused)
{
    QMimeData secret;
    secret.setText("hunter2");
    secret.setData("x-kde-passwordManagerHint", "secret");
    EXPECT_FALSE(ShelfDropTargetView::isAcceptable(&secret));
    EXPECT_FALSE(target.itemFor(&secret));

    QMimeData colour;
    colour.setColorData(QColor(Qt::red));
    EXPECT_FALSE(ShelfDropTargetView::isAcceptable(&colour));
    EXPECT_FALSE(target.itemFor(&colour));
}

TEST_F(ShelfDropTargetViewTest, HoverIsReportedOnEnterEvenForForeignTypesAndOnExit)
{
    QList<bool> reports;
    target.onDragHoverChanged = [&](bool hovering) { reports.append(hovering); };
    QMimeData colour;
    colour.setColorData(QColor(Qt::red));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &colour, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(QPoint(12, 12), Qt::CopyAction, &colour, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &move);
    EXPECT_FALSE(move.isAccepted());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&target, &leave);
    EXPECT_EQ(reports, QList<bool>({true, false}));
}

TEST_F(ShelfDropTargetViewTest, ADropReportsTheItemAndEndsTheHover)
{
    QList<bool> reports;
    QList<ShelfItemKind> dropped;
    target.onDragHoverChanged = [&](bool hovering) { reports.append(hovering); };
    target.onItemDropped = [&](const ShelfItemKind &kind) { dropped.append(kind); };
    QMimeData text;
    text.setText("dropped text");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(std::get<QString>(dropped.first()), "dropped text");
    EXPECT_EQ(reports, QList<bool>({true, false}));
}

TEST_F(ShelfDropTargetViewTest, ADroppedPngIsDecodedOffTheMainThreadAndKeptByteForByte)
{
    QList<ShelfItemKind> dropped;
    target.onItemDropped = [&](const ShelfItemKind &kind) { dropped.append(kind); };
    const QByteArray bytes = readAll(TestImages::writePng(folder.path(), "drop.png"));
    QMimeData data; // as another program offers it: encoded, never decoded here
    data.setData("image/png", bytes);
    fake.tasks.deferred = true;
    EXPECT_TRUE(drop(target, data));
    EXPECT_TRUE(dropped.isEmpty());
    fake.tasks.runPending();
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(readAll(std::get<Screenshot>(dropped.first()).url.toLocalFile()), bytes);

    QMimeData broken; // refused at once: its header does not read
    broken.setData("image/png", "not a png");
    EXPECT_FALSE(drop(target, broken));
    EXPECT_TRUE(fake.tasks.pending.isEmpty());
}

TEST_F(ShelfDropTargetViewTest, ABrowsersUntypedImageBytesWinOverTheImagesAddress)
{
    QList<ShelfItemKind> dropped;
    target.onItemDropped = [&](const ShelfItemKind &kind) { dropped.append(kind); };
    const QByteArray png = readAll(TestImages::writePng(folder.path(), "web.png"));
    QMimeData web; // as a browser offers a dragged web image
    web.setUrls({QUrl("https://example.com/cat.png")});
    web.setText("https://example.com/cat.png");
    web.setData("application/octet-stream", png);
    EXPECT_TRUE(drop(target, web));
    QMimeData download; // untyped bytes that are no image leave the address
    download.setText("https://example.com/tool.bin");
    download.setData("application/octet-stream", "\x7f" "ELF, not an image");
    EXPECT_TRUE(drop(target, download));
    ASSERT_EQ(dropped.size(), 2);
    EXPECT_EQ(readAll(std::get<Screenshot>(dropped.first()).url.toLocalFile()), png);
    EXPECT_EQ(std::get<QString>(dropped.last()), "https://example.com/tool.bin");
}

TEST_F(ShelfDropTargetViewTest, DropsThatCannotMakeAnItemAreRefusedAtOnce)
{
    QMimeData bytes;
    bytes.setData("application/octet-stream", "not an image");
    EXPECT_FALSE(drop(target, bytes));
    QMimeData bomb; // a header that reads, for more pixels than may be decoded
    bomb.setData("application/octet-stream", "P5\n30000 30000\n255\n");
    EXPECT_FALSE(drop(target, bomb));

    // With no private folder to keep its PNG, an image alone adds nothing;
    // text beside it is taken instead.
    PrivateTempFolder nowhere("/dev/null/zorv");
    ShelfDropTargetView stranded(nowhere, fake.scheduler, fake.tasks);
    QList<ShelfItemKind> dropped;
    stranded.onItemDropped = [&](const ShelfItemKind &kind) { dropped.append(kind); };
    QMimeData image;
    image.setData("image/png", readAll(TestImages::writePng(folder.path(), "a.png")));
    EXPECT_FALSE(drop(stranded, image));
    image.setText("caption");
    EXPECT_TRUE(drop(stranded, image));
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(std::get<QString>(dropped.first()), "caption");
}

} // namespace
