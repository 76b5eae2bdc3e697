#include "TestImages.h"
#include "TestServices.h"
#include "views/TextItemView.h"
#include "views/ThumbnailView.h"

#include <gtest/gtest.h>

#include <QFile>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThreadPool>

namespace {

const QSize cardSize(108, 76);

class ItemCardViewTest : public ::testing::Test
{
protected:
    void click(QWidget *card, QPoint press, QPoint release)
    {
        QMouseEvent down(QEvent::MouseButtonPress, press, card->mapToGlobal(press), Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(card, &down);
        QMouseEvent move(QEvent::MouseMove, release, card->mapToGlobal(release), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(card, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, release, card->mapToGlobal(release), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(card, &up);
    }

    TestServices fake;
};

TEST_F(ItemCardViewTest, MovingExactlyFourPointsIsStillAClick)
{
    EXPECT_FALSE(ItemCardView::exceedsDragThreshold(QPoint(4, 0)));
    EXPECT_FALSE(ItemCardView::exceedsDragThreshold(QPoint(0, -4)));
    EXPECT_TRUE(ItemCardView::exceedsDragThreshold(QPoint(4, 1)));
    EXPECT_TRUE(ItemCardView::exceedsDragThreshold(QPoint(-3, -3)));

    TextItemView card("copied", cardSize, fake.pasteboard);
    click(&card, QPoint(30, 30), QPoint(34, 30));
    EXPECT_EQ(fake.pasteboard.currentString, "copied");
    EXPECT_EQ(fake.pasteboard.count, 1);
}

TEST_F(ItemCardViewTest, ACopyFlashesWhiteAndASecondCopyRestartsTheFlash)
{
    TextItemView card("flash", cardSize, fake.pasteboard);
    EXPECT_DOUBLE_EQ(card.flashOpacity(), 0);
    card.copyToClipboard();
    EXPECT_DOUBLE_EQ(card.flashOpacity(), 0.6);
    fake.scheduler.advance(0.2);
    EXPECT_LT(card.flashOpacity(), 0.5);
    card.copyToClipboard();
    EXPECT_DOUBLE_EQ(card.flashOpacity(), 0.6);
    fake.scheduler.advance(0.4);
    EXPECT_DOUBLE_EQ(card.flashOpacity(), 0);
}

TEST_F(ItemCardViewTest, AnOnClickCallbackReplacesTheCopy)
{
    TextItemView card("not copied", cardSize, fake.pasteboard);
    int clicks = 0;
    card.onClick = [&] { ++clicks; };
    click(&card, QPoint(30, 30), QPoint(30, 30));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(fake.pasteboard.count, 0);

    // Presses on the overhang margin, outside the body, are not the card's.
    click(&card, QPoint(1, 60), QPoint(1, 60));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ItemCardViewTest, ScreenshotCardsCopyTheImageAndKeepOnlyAThumbnail)
{
    QTemporaryDir folder;
    const QString path = TestImages::writePng(folder.path(), "big.png", Qt::blue, 3840, 2160);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray captured = file.readAll();
    auto image = ScreenshotImage::load(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), QSize(3840, 2160));
    ThumbnailView card(Screenshot::make(QUrl::fromLocalFile(path), image, 0), cardSize, fake.pasteboard);
    EXPECT_LE(card.thumbnail().width(), 2 * 100);
    EXPECT_LE(card.thumbnail().height(), 2 * 68);
    // Deleted after capture: the copy still has the captured bytes, as they were.
    QFile::remove(path);
    card.copyToClipboard();
    EXPECT_EQ(fake.pasteboard.currentPng, captured);
    EXPECT_FALSE(fake.pasteboard.currentString);
}

TEST_F(ItemCardViewTest, OtherFormatsAreCopiedAsPngMadeOffTheMainThreadUnlessACopyCameMeanwhile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("shot.jpg");
    QImage source(64, 48, QImage::Format_RGB32);
    source.fill(Qt::darkGreen);
    ASSERT_TRUE(source.save(path, "JPEG"));
    ThumbnailView card(Screenshot::make(QUrl::fromLocalFile(path), ScreenshotImage::load(path), 0), cardSize,
                       fake.pasteboard);

    card.copyToClipboard();
    EXPECT_TRUE(fake.pasteboard.currentPng.isEmpty()); // not converted here
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    ASSERT_TRUE(fake.pasteboard.currentImage);
    EXPECT_TRUE(fake.pasteboard.currentPng.startsWith("\x89PNG"));
    EXPECT_EQ(fake.pasteboard.currentImage->size(), QSize(64, 48));

    card.copyToClipboard();
    fake.pasteboard.writeString("copied later");
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(fake.pasteboard.currentString, "copied later");
    EXPECT_FALSE(fake.pasteboard.currentImage);
}

TEST_F(ItemCardViewTest, TheDeleteButtonShowsOnHoverAndOverhangsTheCorner)
{
    TextItemView card("hover", cardSize, fake.pasteboard);
    QAbstractButton *button = card.deleteButton();
    EXPECT_TRUE(button->isHidden());
    EXPECT_EQ(button->accessibleName(), "Remove");
    const QRect body = card.bodyRect();
    EXPECT_EQ(button->geometry(), QRect(body.left() - 4, body.top() - 4, 18, 18));

    QEnterEvent enter(QPointF(20, 20), QPointF(20, 20), QPointF(20, 20));
    QCoreApplication::sendEvent(&card, &enter);
    EXPECT_FALSE(button->isHidden());
    fake.scheduler.advance(0.2);
    EXPECT_DOUBLE_EQ(card.shadowOpacity(), 0.4);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&card, &leave);
    EXPECT_TRUE(button->isHidden());
    fake.scheduler.advance(0.2);
    EXPECT_DOUBLE_EQ(card.shadowOpacity(), 0);

    int deletes = 0;
    card.onDelete = [&] { ++deletes; };
    button->click();
    EXPECT_EQ(deletes, 1);
}

TEST_F(ItemCardViewTest, WebAddressesShowOnOneLineAndOtherTextOnUpToFive)
{
    EXPECT_TRUE(TextItemView::looksLikeWebAddress("HTTP://EXAMPLE.COM"));
    EXPECT_TRUE(TextItemView::looksLikeWebAddress("https://example.com/a"));
    EXPECT_FALSE(TextItemView::looksLikeWebAddress(" http://example.com"));
    EXPECT_FALSE(TextItemView::looksLikeWebAddress("ftp://example.com"));

    TextItemView web("https://example.com/a/very/long/path/that/cannot/possibly/fit/on/one/line", cardSize,
                     fake.pasteboard);
    ASSERT_EQ(web.displayedLines().size(), 1);
    const QString line = web.displayedLines().first();
    EXPECT_TRUE(line.startsWith("https:"));
    EXPECT_TRUE(line.contains(QChar(0x2026))); // truncated in the middle
    EXPECT_TRUE(line.endsWith("line"));

    TextItemView prose(QString("word ").repeated(200), cardSize, fake.pasteboard);
    EXPECT_EQ(prose.maximumLines(), 5);
    // As many of the five as the 76-point card holds, the last one cut short.
    EXPECT_GE(prose.displayedLines().size(), 3);
    EXPECT_LE(prose.displayedLines().size(), 5);
    EXPECT_TRUE(prose.displayedLines().last().endsWith(QChar(0x2026)));
}

TEST_F(ItemCardViewTest, HugeTextLaysOutOnlyWhatItShows)
{
    const QString huge(10'000'000, QLatin1Char('x'));
    TextItemView card(huge, cardSize, fake.pasteboard);
    EXPECT_EQ(card.text().size(), huge.size()); // the item keeps all of it
    EXPECT_LE(card.displayedLines().size(), 5);
    qsizetype shown = 0;
    for (const QString &line : card.displayedLines())
        shown += line.size();
    EXPECT_LT(shown, 1000);
}

} // namespace
