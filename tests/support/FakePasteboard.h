#pragma once

#include "platform/Pasteboard.h"

// The pasteboard as plain fields. Writes bump the change count like a real one.
class FakePasteboard final : public Pasteboard
{
public:
    qint64 changeCount() const override { return count; }
    std::optional<QImage> image() const override { return currentImage; }
    std::optional<QString> string() const override { return currentString; }
    bool isConcealed() const override { return concealed; }

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
    }

    qint64 count = 0;
    std::optional<QImage> currentImage;
    std::optional<QString> currentString;
    bool concealed = false;
};
