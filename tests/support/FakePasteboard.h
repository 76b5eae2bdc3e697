#pragma once

#include "platform/ImageFile.h"
#include "platform/Pasteboard.h"

#include <QBuffer>
#include <QList>
#include <QPointer>

// The pasteboard as plain fields. Writes bump the change count like a real
// one. Reads are answered at once, or, while `hangs` is set, only when the
// test calls answerPendingReads(): an owner that is slow or never answers.
class FakePasteboard final : public Pasteboard
{
public:
    qint64 changeCount() const override { return count; }
    // Off unless a test turns it on; every change is then reported.
    bool setChangeHandler(std::function<void()> handler) override
    {
        changeHandler = std::move(handler);
        return reportsChanges;
    }

    void readContent(QObject *context, ReadCallback done) override
    {
        PasteboardContent content;
        content.concealed = concealed;
        content.text = currentString;
        if (currentImage) {
            content.png = currentPng;
            content.imageSize = currentImage->size();
            content.thumbnail = ImageFile::thumbnail(*currentImage);
        }
        auto answer = [context = QPointer<QObject>(context), done = std::move(done), content] {
            if (context)
                done(content);
        };
        if (hangs)
            pendingReads.append(answer);
        else
            answer();
    }

    void answerPendingReads()
    {
        const QList<std::function<void()>> reads = std::exchange(pendingReads, {});
        for (const auto &answer : reads)
            answer();
    }

    void writeString(const QString &text) override
    {
        clear();
        currentString = text;
    }
    void writePng(const QByteArray &png) override
    {
        clear();
        currentPng = png;
        currentImage = QImage::fromData(png, "PNG");
    }
    // Another program copying an image.
    void writeImage(const QImage &image)
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        writePng(png);
    }

    // Another program changing the contents.
    void clear()
    {
        currentImage.reset();
        currentPng.clear();
        currentString.reset();
        concealed = false;
        ++count;
        if (reportsChanges && changeHandler)
            changeHandler();
    }

    qint64 count = 0;
    std::optional<QImage> currentImage; // decoded from currentPng, for the tests' checks
    QByteArray currentPng;
    std::optional<QString> currentString;
    bool concealed = false;
    bool hangs = false;
    bool reportsChanges = false;
    std::function<void()> changeHandler;
    QList<std::function<void()>> pendingReads;
};
