#pragma once

#include "model/ScreenshotImage.h"
#include "platform/PrivateFile.h"

#include <QImage>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <optional>

class PrivateTempFolder;

// An image file on the shelf. Copies share the one image: its thumbnail and
// its open file, never a decoded full-size image.
struct Screenshot
{
    QUuid id;
    QUrl url;
    std::shared_ptr<const ScreenshotImage> image;
    double capturedAt = 0; // when the value was made, not the file's own date
    // Set when the file is one of Zorv's own in the private folder: the file
    // is deleted once no value names it any more.
    std::shared_ptr<const PrivateFile> privateFile;

    // Images compare as objects: two loads of the same file are different.
    friend bool operator==(const Screenshot &, const Screenshot &) = default;

    static Screenshot make(const QUrl &url, std::shared_ptr<const ScreenshotImage> image, double now);
    // Dropped image data: written as a new private PNG (`png`, the image's
    // own bytes, when it came as one); the screenshot keeps its thumbnail and
    // the new file. Nothing when the file cannot be written. Not on the main
    // thread for large images.
    static std::optional<Screenshot> savedAsPng(const QImage &image, PrivateTempFolder &folder, double now,
                                                const QByteArray &png = {});
    // A screenshot of a file that may lie in the private folder; such a file
    // is then held, and deleted when the last value naming it goes.
    static Screenshot ofFile(const QString &path, std::shared_ptr<const ScreenshotImage> image,
                             PrivateTempFolder &folder, double now);
};
