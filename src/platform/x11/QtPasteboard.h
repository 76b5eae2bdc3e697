#pragma once

#include "platform/Pasteboard.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QClipboard;
class QMimeData;
class X11ClipboardReader;

// The pasteboard on QClipboard, except for reading other programs' content:
// QClipboard waits on the owner on the main thread, and an owner that never
// answers froze the panel, so that goes through a reader thread instead.
// The change count is bumped on every dataChanged signal, which Qt also
// emits for its own writes.
class QtPasteboard final : public QObject, public Pasteboard
{
    Q_OBJECT
public:
    explicit QtPasteboard(QClipboard *clipboard, QObject *parent = nullptr);
    ~QtPasteboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    bool setChangeHandler(std::function<void()> handler) override;
    void readContent(QObject *context, ReadCallback done) override;
    bool writeString(const QString &text) override;
    bool writeImage(const QByteArray &bytes, const QString &mimeType) override;
    bool addImageType(const QByteArray &bytes, const QString &mimeType) override;
    bool holdsContents() const override { return holdsClipboard(); }

private:
    bool write(QMimeData *data);
    // Whether this program holds the CLIPBOARD selection now.
    bool holdsClipboard() const;

    QClipboard *m_clipboard;
    QPointer<QMimeData> m_written; // what the clipboard holds of ours, until replaced
    qint64 m_changeCount = 0;
    std::function<void()> m_changeHandler;
    std::unique_ptr<X11ClipboardReader> m_reader;
};
