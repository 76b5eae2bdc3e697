#pragma once

#include <QImage>
#include <QString>

#include <optional>

// The general pasteboard (the X11 CLIPBOARD selection).
class Pasteboard
{
public:
    virtual ~Pasteboard() = default;

    // Takes a new value whenever any program, this one included, changes the
    // contents. Only inequality with a remembered value means anything.
    virtual qint64 changeCount() const = 0;

    // An image when the contents hold a valid one.
    virtual std::optional<QImage> image() const = 0;
    // The plain-text string when there is one.
    virtual std::optional<QString> string() const = 0;
    // True when a password manager marked the contents as secret; such
    // contents must never be taken into the shelf.
    virtual bool isConcealed() const = 0;

    // Each write clears the pasteboard and puts exactly one object on it.
    virtual void writeString(const QString &text) = 0;
    virtual void writeImage(const QImage &image) = 0;
};
