#pragma once

#include "platform/ImageFile.h"
#include "platform/Pasteboard.h"

#include <QBuffer>
#include <QList>
#include <QMap>
#include <QPointer>

// The pasteboard as plain fields. Writes bump the change count like a real
// one. Reads are answered at once, or, while `hangs` is set, only when the
// test calls answerPendingReads(): an owner that is slow or never answers.
// While `refusesWrites` is set, writes fail as a refused grab does: the
// contents stay as they were.
class FakePasteboard final : public Pasteboard
{
public:
    qint64 changeCount() const override { return count; }
    bool holdsContents() const override { return holdsOwnCopy; }
    bool isAvailable() const override { return available; }
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

    bool writeString(const QString &text) override
    {
        if (refusesWrites)
            return false;
        clear();
        currentString = text;
        return true;
    }
    bool writeImage(const QByteArray &bytes, const QString &mimeType) override
    {
        if (!refusesWrites)
            clear();
        return addImageType(bytes, mimeType);
    }
    bool addImageType(const QByteArray &bytes, const QString &mimeType) override
    {
        if (refusesWrites)
            return false;
        images.insert(mimeType, bytes);
        if (mimeType == QLatin1String(pngType)) {
            currentPng = bytes;
            currentImage = QImage::fromData(bytes, "PNG");
        }
        return true;
    }
    // Another program copying an image.
    void writeImage(const QImage &image)
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        writeImage(png, pngType);
    }

    // Another program changing the contents.
    void clear()
    {
        currentImage.reset();
        currentPng.clear();
        currentString.reset();
        images.clear();
        concealed = false;
        ++count;
        if (reportsChanges && changeHandler)
            changeHandler();
    }

    qint64 count = 0;
    QMap<QString, QByteArray> images; // the image on offer, by type
    std::optional<QImage> currentImage; // decoded from currentPng, for the tests' checks
    QByteArray currentPng;
    std::optional<QString> currentString;
    bool concealed = false;
    bool hangs = false;
    bool refusesWrites = false;
    bool reportsChanges = false;
    bool holdsOwnCopy = false;
    bool available = true;
    std::function<void()> changeHandler;
    QList<std::function<void()>> pendingReads;
};
