#include "platform/QtPasteboard.h"

#include "platform/x11/X11ClipboardReader.h"

#include <QBuffer>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

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
    if (!m_clipboard->ownsClipboard()) {
        m_reader->fetch(std::move(answer));
        return;
    }
    // Zorv's own content needs no other program: the card's PNG data is
    // taken as it is, and only decoded for its thumbnail, off the main thread.
    const QMimeData *data = m_clipboard->mimeData(QClipboard::Clipboard);
    const QByteArray png = data ? data->data(QStringLiteral("image/png")) : QByteArray();
    std::optional<QString> text;
    if (data && data->hasText())
        text = data->text();
    const bool concealed = isConcealed(data);
    m_reader->post([answer = std::move(answer), png, text, concealed] {
        PasteboardContent content;
        content.concealed = concealed;
        content.text = text;
        if (!png.isEmpty())
            X11ClipboardReader::takeImage(png, "png", content);
        answer(content);
    });
}

bool QtPasteboard::isConcealed(const QMimeData *data)
{
    return data && data->data(QString::fromLatin1(passwordHintType)).trimmed() == passwordHintSecret;
}

void QtPasteboard::writeString(const QString &text)
{
    m_clipboard->clear(QClipboard::Clipboard);
    m_clipboard->setText(text, QClipboard::Clipboard);
}

void QtPasteboard::writePng(const QByteArray &png)
{
    // Only image/png is offered: Qt would encode any other format on the
    // main thread, at every paste.
    auto *data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    m_clipboard->clear(QClipboard::Clipboard);
    m_clipboard->setMimeData(data, QClipboard::Clipboard);
}
