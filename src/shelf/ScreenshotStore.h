#pragma once

#include <QImage>
#include <QUrl>
#include <QUuid>

#include <memory>

class PrivateTempFolder;

// An image file on the shelf. Copies share the one decoded image.
struct Screenshot
{
    QUuid id;
    QUrl url;
    std::shared_ptr<const QImage> image;
    double capturedAt = 0; // when the value was made, not the file's own date

    // Images compare as objects: two loads of the same file are different.
    friend bool operator==(const Screenshot &, const Screenshot &) = default;

    static Screenshot make(const QUrl &url, std::shared_ptr<const QImage> image, double now);
    // Image data from the clipboard or a drop: written as a new private
    // PNG, while the screenshot keeps the image it was given.
    static Screenshot savedAsPng(QImage image, PrivateTempFolder &folder, double now);
};
