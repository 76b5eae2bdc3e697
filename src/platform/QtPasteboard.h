#pragma once

#include "platform/Pasteboard.h"

#include <QObject>

class QClipboard;
class QMimeData;

// The pasteboard on QClipboard. The change count is bumped on every
// dataChanged signal, which Qt also emits for its own writes.
class QtPasteboard final : public QObject, public Pasteboard
{
    Q_OBJECT
public:
    explicit QtPasteboard(QClipboard *clipboard, QObject *parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    std::optional<QImage> image() const override;
    std::optional<QString> string() const override;
    bool isConcealed() const override;
    void writeString(const QString &text) override;
    void writeImage(const QImage &image) override;

    // True when the data carries the hint password managers put beside a
    // secret; clipboard and drops both refuse such content.
    static bool isConcealed(const QMimeData *data);

    // The MIME type and value that password managers put beside a secret.
    static constexpr const char *passwordHintType = "x-kde-passwordManagerHint";
    static constexpr const char *passwordHintSecret = "secret";

private:
    QClipboard *m_clipboard;
    qint64 m_changeCount = 0;
};
