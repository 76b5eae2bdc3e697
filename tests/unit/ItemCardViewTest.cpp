#include "TestImages.h"
#include "TestServices.h"
#include "transfer/ClipboardCopier.h"
#include "views/CardFade.h"
#include "views/TextItemView.h"
#include "views/ThumbnailView.h"

#include <gtest/gtest.h>

#include <QFile>

#include <QAbstractButton>
#include <QBuffer>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTemporaryDir>

namespace {

const QSize cardSize(108, 76);

class ItemCardViewTest : public ::testing::Test
{
protected:
    void click(QWidget *card, QPoint press, QPoint release)
    {
        const QPointer<QWidget> alive(card); // a drag may take the card
        QMouseEvent down(QEvent::MouseButtonPress, press, card->mapToGlobal(press), Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(card, &down);
        QMouseEvent move(QEvent::MouseMove, release, card->mapToGlobal(release), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(card, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, release, release, Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        if (alive)
            QCoreApplication::sendEvent(card, &up);
    }

    // The card of a small JPEG, whose bytes go into `jpeg`.
    std::unique_ptr<ThumbnailView> jpegCard()
    {
        QImage source(64, 48, QImage::Format_RGB32);
        source.fill(Qt::darkGreen);
        QBuffer buffer(&jpeg);
        EXPECT_TRUE(buffer.open(QIODevice::WriteOnly) && source.save(&buffer, "JPEG"));
        QFile file(folder.filePath("shot.jpg"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size());
        file.close();
        const Screenshot shot =
            Screenshot::make(QUrl::fromLocalFile(file.fileName()), ScreenshotImage::load(file.fileName()), 0);
        auto card = std::make_unique<ThumbnailView>(shot, cardSize);
        wired(*card, shot);
        return card;
    }

    // The card copies its item as the shelf has it do.
    template <typename Card>
    Card &wired(Card &card, const ShelfItemKind &kind)
    {
        card.onCopy = [this, kind](ItemCardView::CopyDone done) { copier.copyItem(kind, std::move(done)); };
        return card;
    }

    QTemporaryDir folder;
    QByteArray jpeg;
    TestServices fake;
    ClipboardCopier copier{fake.pasteboard, fake.tasks};
};

TEST_F(ItemCardViewTest, MovingExactlyFourPointsIsStillAClick)
{
    EXPECT_FALSE(ItemCardView::exceedsDragThreshold(QPoint(4, 0)));
    EXPECT_FALSE(ItemCardView::exceedsDragThreshold(QPoint(0, -4)));
    EXPECT_TRUE(ItemCardView::exceedsDragThreshold(QPoint(4, 1)));
    EXPECT_TRUE(ItemCardView::exceedsDragThreshold(QPoint(-3, -3)));

    TextItemView card("copied", cardSize);
    wired(card, QString("copied"));
    click(&card, QPoint(30, 30), QPoint(34, 30));
    EXPECT_EQ(fake.pasteboard.currentString, "copied");
    EXPECT_EQ(fake.pasteboard.count, 1);
}

TEST_F(ItemCardViewTest, ACopyFlashesWhiteAndASecondCopyRestartsTheFlash)
{
    TextItemView card("flash", cardSize);
    wired(card, QString("flash"));
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
    TextItemView card("not copied", cardSize);
    wired(card, QString("not copied"));
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
    const Screenshot shot = Screenshot::make(QUrl::fromLocalFile(path), image, 0);
    ThumbnailView card(shot, cardSize);
    wired(card, shot);
    EXPECT_LE(card.thumbnail().width(), 2 * 100);
    EXPECT_LE(card.thumbnail().height(), 2 * 68);
    // Deleted after capture: the copy still has the captured bytes, as they
    // were, read on a worker, and nothing is converted.
    QFile::remove(path);
    fake.tasks.deferred = true;
    card.copyToClipboard();
    EXPECT_EQ(fake.pasteboard.count, 0);
    fake.tasks.runPending();
    EXPECT_EQ(fake.pasteboard.currentPng, captured);
    EXPECT_EQ(fake.pasteboard.images.keys(), QList<QString>{"image/png"});
    EXPECT_FALSE(fake.pasteboard.currentString);
}

TEST_F(ItemCardViewTest, AJpegGoesOutAsItsOwnBytesThenAsPngTooEvenWithoutItsCard)
{
    std::unique_ptr<ThumbnailView> card = jpegCard();
    fake.tasks.deferred = true;
    card->copyToClipboard();
    EXPECT_EQ(fake.pasteboard.count, 0); // the file is read on a worker
    fake.tasks.runPending();
    EXPECT_EQ(fake.pasteboard.images.keys(), QList<QString>{"image/jpeg"});
    EXPECT_EQ(fake.pasteboard.images.value("image/jpeg"), jpeg);
    EXPECT_DOUBLE_EQ(card->flashOpacity(), 0.6);

    // Deleted meanwhile: the PNG joins the same content all the same.
    card.reset();
    fake.tasks.runPending();
    ASSERT_TRUE(fake.pasteboard.currentImage);
    EXPECT_EQ(fake.pasteboard.currentImage->size(), QSize(64, 48));
    EXPECT_EQ(fake.pasteboard.images.value("image/jpeg"), jpeg);
    EXPECT_EQ(fake.pasteboard.count, 1);

    // Gone before its file was read: the copy still happens.
    jpegCard()->copyToClipboard();
    fake.tasks.runPending();
    fake.tasks.runPending();
    EXPECT_EQ(fake.pasteboard.count, 2);
    EXPECT_TRUE(fake.pasteboard.currentImage);
}

TEST_F(ItemCardViewTest, ALaterCopyWinsAndOnlyACopyThatHappenedFlashes)
{
    std::unique_ptr<ThumbnailView> card = jpegCard();
    TextItemView text("copied second", cardSize);
    wired(text, QString("copied second"));
    fake.tasks.deferred = true;
    card->copyToClipboard();
    text.copyToClipboard(); // before the screenshot was read
    fake.tasks.runPending();
    EXPECT_EQ(fake.pasteboard.currentString, "copied second");
    EXPECT_TRUE(fake.pasteboard.images.isEmpty());
    EXPECT_DOUBLE_EQ(card->flashOpacity(), 0);

    // Another program copies while the PNG is made: its content stays.
    card->copyToClipboard();
    fake.tasks.runPending();
    fake.pasteboard.writeString("another program");
    fake.tasks.runPending();
    EXPECT_EQ(fake.pasteboard.currentString, "another program");
    EXPECT_FALSE(fake.pasteboard.currentImage);

    // The selection stayed with another program: nothing to paste, no flash.
    fake.pasteboard.refusesWrites = true;
    fake.scheduler.advance(1);
    text.copyToClipboard();
    card->copyToClipboard();
    fake.tasks.runPending();
    EXPECT_DOUBLE_EQ(text.flashOpacity(), 0);
    EXPECT_DOUBLE_EQ(card->flashOpacity(), 0);
}

TEST_F(ItemCardViewTest, ACardRemovedDuringItsDragHidesAndGoesOnlyOnceTheDragHasEnded)
{
    QWidget shelf;
    auto *card = &wired(*new TextItemView("dragged", cardSize, &shelf), QString("dragged"));
    const QPointer<ItemCardView> guard(card);
    int ends = 0;
    bool hiddenWhileDragging = false;
    card->onDragEnd = [&] { ++ends; };
    card->onDragStart = [&] {
        // As the shelf removes a card, while the drag's loop would run.
        CardFade::fadeOutAndDelete(card, 0.2);
        fake.scheduler.advance(0.3);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        hiddenWhileDragging = guard && guard->isHidden() && guard->isDragging();
    };
    shelf.show();
    click(card, QPoint(30, 30), QPoint(60, 30));
    EXPECT_TRUE(hiddenWhileDragging);
    EXPECT_EQ(ends, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(guard);

    // Destroyed outright with its window mid-drag: the end is still told.
    auto *other = &wired(*new TextItemView("window closed", cardSize, &shelf), QString("window closed"));
    other->onDragEnd = [&] { ++ends; };
    other->onDragStart = [&] { delete other; };
    click(other, QPoint(30, 30), QPoint(60, 30));
    EXPECT_EQ(ends, 2);
}

TEST_F(ItemCardViewTest, TheDeleteButtonShowsOnHoverAndOverhangsTheCorner)
{
    TextItemView card("hover", cardSize);
    wired(card, QString("hover"));
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

    TextItemView web("https://example.com/a/very/long/path/that/cannot/possibly/fit/on/one/line", cardSize);
    ASSERT_EQ(web.displayedLines().size(), 1);
    const QString line = web.displayedLines().first();
    EXPECT_TRUE(line.startsWith("https:"));
    EXPECT_TRUE(line.contains(QChar(0x2026))); // truncated in the middle
    EXPECT_TRUE(line.endsWith("line"));

    TextItemView prose(QString("word ").repeated(200), cardSize);
    EXPECT_EQ(prose.maximumLines(), 5);
    // As many of the five as the 76-point card holds, the last one cut short.
    EXPECT_GE(prose.displayedLines().size(), 3);
    EXPECT_LE(prose.displayedLines().size(), 5);
    EXPECT_TRUE(prose.displayedLines().last().endsWith(QChar(0x2026)));
}

TEST_F(ItemCardViewTest, HugeTextLaysOutOnlyWhatItShows)
{
    const QString huge(10'000'000, QLatin1Char('x'));
    TextItemView card(huge, cardSize);
    EXPECT_EQ(card.text().size(), huge.size()); // the item keeps all of it
    EXPECT_LE(card.displayedLines().size(), 5);
    qsizetype shown = 0;
    for (const QString &line : card.displayedLines())
        shown += line.size();
    EXPECT_LT(shown, 1000);
}

} // namespace
