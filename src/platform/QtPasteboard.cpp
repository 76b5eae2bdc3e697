#include "platform/QtPasteboard.h"

#include <QClipboard>
#include <QMimeData>

QtPasteboard::QtPasteboard(QClipboard *clipboard, QObject *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
{
    connect(m_clipboard, &QClipboard::dataChanged, this, [this] { ++m_changeCount; });
}

std::optional<QImage> QtPasteboard::image() const
{
    const QMimeData *data = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasImage())
        return std::nullopt;
    QImage image = m_clipboard->image(QClipboard::Clipboard);
    if (image.isNull())
        return std::nullopt;
    return image;
}

std::optional<QString> QtPasteboard::string() const
{
    const QMimeData *data = m_clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText())
        return std::nullopt;
    return data->text();
}

bool QtPasteboard::isConcealed() const
{
    return isConcealed(m_clipboard->mimeData(QClipboard::Clipboard));
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

void QtPasteboard::writeImage(const QImage &image)
{
    m_clipboard->clear(QClipboard::Clipboard);
    m_clipboard->setImage(image, QClipboard::Clipboard);
}
