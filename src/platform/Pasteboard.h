#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QMimeData;
class QObject;

// What the clipboard held when it was read. An image comes as PNG data with
// its size and the card's thumbnail, all made off the main thread.
struct PasteboardContent
{
    // A password manager marked the content as secret: it must never be taken.
    bool concealed = false;
    QByteArray png;
    QSize imageSize;
    QImage thumbnail;
    std::optional<QString> text;

    bool hasImage() const { return !png.isEmpty() && !thumbnail.isNull(); }
};

// The general pasteboard (the X11 CLIPBOARD selection).
class Pasteboard
{
public:
    using ReadCallback = std::function<void(const PasteboardContent &content)>;

    virtual ~Pasteboard() = default;

    // Takes a new value whenever any program, this one included, changes the
    // contents. Only inequality with a remembered value means anything.
    virtual qint64 changeCount() const = 0;
    // Calls `handler` on the main thread after each change of the contents,
    // so that a poll of the change count can sleep meanwhile. False when
    // this pasteboard cannot tell: the count must then be polled.
    virtual bool setChangeHandler(std::function<void()> handler)
    {
        (void)handler;
        return false;
    }

    // Reads the contents without ever waiting on the program that owns
    // them: `done` runs later on the main thread, unless `context` is gone,
    // with what was read, or with nothing when the owner did not answer in
    // time or offered more than can be taken.
    virtual void readContent(QObject *context, ReadCallback done) = 0;

    // Each write clears the pasteboard and puts exactly one object on it.
    // The answer says whether this program then holds the pasteboard: false
    // when the selection stayed with another program, so that nothing can
    // be pasted from this copy.
    virtual bool writeString(const QString &text) = 0;
    // An image as the bytes of a file of `mimeType` ("image/png",
    // "image/jpeg", ...), offered to other programs exactly as they are.
    virtual bool writeImage(const QByteArray &bytes, const QString &mimeType) = 0;
    // Offers the image this program wrote last in one more type, without
    // changing the contents' identity (the change count stays). False, and
    // nothing offered, once the pasteboard holds anything else.
    virtual bool addImageType(const QByteArray &bytes, const QString &mimeType) = 0;

    // Whether the contents are this program's own copy, held by it or
    // passed on by a bridge to another display system.
    virtual bool holdsContents() const { return false; }
    // False once this pasteboard can neither tell of changes nor be read,
    // for example when its display connection broke.
    virtual bool isAvailable() const { return true; }

    static constexpr const char *pngType = "image/png";
    // Put beside everything this program copies, so that its own copy is
    // known wherever it turns up again.
    static constexpr const char *ownCopyType = "application/x-zorv-copy";
    // What a read of another program's content may cost at most.
    static constexpr int readTimeoutMs = 2000;
    static constexpr qint64 maxReadBytes = 100 * 1024 * 1024;
    // Image types in order of preference; Qt and most programs offer PNG.
    static constexpr const char *imageTypes[] = {"image/png", "image/bmp", "image/jpeg",
                                                 "image/tiff", "image/gif", "image/webp"};
    // Text types in order of preference when reading. All but STRING carry
    // UTF-8, and those are the ones offered.
    static constexpr const char *textTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING",
                                                "TEXT"};
    static constexpr const char *latin1TextType = "STRING";

    // Decodes image data with the usual allocation limit into the content's
    // thumbnail, and gives PNG data for it: the data itself when it is PNG,
    // else a new encoding. `format` is the type's subtype ("png", "jpeg").
    // For a worker thread: decoding a large image takes long.
    static void takeImage(const QByteArray &data, const QByteArray &format, PasteboardContent &content);

    // True when the data carries the hint password managers put beside a
    // secret; clipboard and drops both refuse such content.
    static bool isConcealed(const QMimeData *data);

    // The MIME type and value that password managers put beside a secret.
    static constexpr const char *passwordHintType = "x-kde-passwordManagerHint";
    static constexpr const char *passwordHintSecret = "secret";
};
