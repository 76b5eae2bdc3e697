#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QMimeData;

// What a drop offers, copied out of the drag's data on the main thread so
// that the images in it are decoded elsewhere: the drag's data may only be
// read where it arrived, and Qt would decode a dropped image there.
struct DropContent
{
    QString filePath;      // the first local file, taken where it lies
    QByteArray imageBytes; // an encoded image whose header reads
    QByteArray imageFormat; // "png", "tiff", …, for imageBytes
    QImage image;          // an image this process already holds decoded
    QString text;

    // Reads only what is cheap: URLs, the bytes of the first readable image
    // type (untyped bytes last, as browsers offer a web image), and text.
    // Nothing is decoded but an image header, and a header that promises
    // more pixels than the decode limit allows counts as unreadable.
    static DropContent of(const QMimeData *data);
};
