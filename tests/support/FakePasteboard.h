#pragma once

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
            content.image = std::make_shared<const QImage>(*currentImage);
            QBuffer png(&content.png);
            png.open(QIODevice::WriteOnly);
            currentImage->save(&png, "PNG");
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
    void writeImage(const QImage &image) override
    {
        clear();
        currentImage = image;
    }

    // Another program changing the contents.
    void clear()
    {
        currentImage.reset();
        currentString.reset();
        concealed = false;
        ++count;
        if (reportsChanges && changeHandler)
            changeHandler();
    }

    qint64 count = 0;
    std::optional<QImage> currentImage;
    std::optional<QString> currentString;
    bool concealed = false;
    bool hangs = false;
    bool reportsChanges = false;
    std::function<void()> changeHandler;
    QList<std::function<void()>> pendingReads;
};
