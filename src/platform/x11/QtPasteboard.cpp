#include "platform/x11/QtPasteboard.h"

#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11SelectionOwner.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>

QtPasteboard::QtPasteboard(QClipboard *clipboard, QObject *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
    , m_reader(std::make_unique<X11ClipboardReader>())
{
    // XFixes selection notify: Qt tells of every change without reading anything.
    connect(m_clipboard, &QClipboard::dataChanged, this, [this] {
        ++m_changeCount;
        if (m_changeHandler)
            m_changeHandler();
    });
}

bool QtPasteboard::setChangeHandler(std::function<void()> handler)
{
    m_changeHandler = std::move(handler);
    return true;
}

QtPasteboard::~QtPasteboard() = default;

void QtPasteboard::readContent(QObject *context, ReadCallback done)
{
    // Runs on the reader's thread; the answer goes back to the main thread.
    auto answer = [context = QPointer<QObject>(context), done = std::move(done)](const PasteboardContent &content) {
        QMetaObject::invokeMethod(
            qApp,
            [context, done, content] {
                if (context)
                    done(content);
            },
            Qt::QueuedConnection);
    };
    if (!holdsClipboard()) {
        m_reader->fetch(std::move(answer));
        return;
    }
    // Zorv's own content needs no other program: the card's image data is
    // taken as it is, and only decoded for its thumbnail, off the main thread.
    const QMimeData *data = m_written;
    const QStringList formats = data->formats();
    const QString imageType = formats.contains(QLatin1String(pngType))
        ? QString::fromLatin1(pngType)
        : formats.value(formats.indexOf(QRegularExpression(QStringLiteral("^image/"))));
    const QByteArray image = imageType.isEmpty() ? QByteArray() : data->data(imageType);
    std::optional<QString> text;
    if (data->hasText())
        text = data->text();
    const bool concealed = isConcealed(data);
    m_reader->post([answer = std::move(answer), image, format = imageType.mid(6).toLatin1(), text, concealed] {
        PasteboardContent content;
        content.concealed = concealed;
        content.text = text;
        if (!image.isEmpty())
            Pasteboard::takeImage(image, format, content);
        answer(content);
    });
}

bool QtPasteboard::writeString(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    return write(data);
}

bool QtPasteboard::writeImage(const QByteArray &bytes, const QString &mimeType)
{
    // Only the bytes that exist are offered: Qt would encode any other
    // format on the main thread, at every paste.
    auto *data = new QMimeData;
    data->setData(mimeType, bytes);
    return write(data);
}

bool QtPasteboard::addImageType(const QByteArray &bytes, const QString &mimeType)
{
    // The clipboard deletes the data it was given once anything replaces
    // it. Qt answers each paste from that data as it is then, so a type
    // added here is offered from the next request on, with no new change.
    if (!holdsClipboard())
        return false;
    m_written->setData(mimeType, bytes);
    return true;
}

bool QtPasteboard::write(QMimeData *data)
{
    data->setData(QLatin1String(ownCopyType), QByteArray());
    m_clipboard->clear(QClipboard::Clipboard);
    m_clipboard->setMimeData(data, QClipboard::Clipboard);
    m_written = data;
    return holdsClipboard();
}

bool QtPasteboard::holdsClipboard() const
{
    // Qt gives back the data it was handed only while its window owns the
    // selection; anything else it returns is another program's, and reading
    // that here would wait on that program.
    if (!m_written || m_clipboard->mimeData(QClipboard::Clipboard) != m_written)
        return false;
    // The X server has the last word: ownsClipboard() stays true even
    // after it refused the grab.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return true;
    return X11SelectionOwner::isOwnedBy(x11->connection(), "CLIPBOARD").value_or(false);
}
