#pragma once

#include "platform/Pasteboard.h"

#include <QMap>
#include <QObject>

#include <memory>

class DataControlDevice;
class PipeTransferThread;
class TaskRunner;

// The Wayland clipboard as a pasteboard, through data-control. Reading and
// writing follow the X11 rules: other programs' data moves off the main
// thread, within the usual time and size limits; an image comes before text;
// the password managers' hint is honoured; an image goes out as the bytes
// it was given. The selection present when the device comes up is not a change.
class DataControlPasteboard final : public QObject, public Pasteboard
{
    Q_OBJECT
public:
    DataControlPasteboard(DataControlDevice &device, TaskRunner &tasks, QObject *parent = nullptr);
    ~DataControlPasteboard() override;

    qint64 changeCount() const override { return m_changeCount; }
    bool setChangeHandler(std::function<void()> handler) override;
    void readContent(QObject *context, ReadCallback done) override;
    bool writeString(const QString &text) override;
    bool writeImage(const QByteArray &bytes, const QString &mimeType) override;
    bool addImageType(const QByteArray &bytes, const QString &mimeType) override;
    bool holdsContents() const override;
    bool isAvailable() const override;

private:
    using Offered = QMap<QString, QByteArray>;
    void offer(Offered data);
    void readOwn(const std::function<void(const PasteboardContent &)> &deliver);
    void readOffer(const std::function<void(const PasteboardContent &)> &deliver);

    DataControlDevice &m_device;
    TaskRunner &m_tasks;
    std::unique_ptr<PipeTransferThread> m_transfers;
    Offered m_written; // what our latest selection offers, by type
    qint64 m_changeCount = 0;
    std::function<void()> m_changeHandler;
};
