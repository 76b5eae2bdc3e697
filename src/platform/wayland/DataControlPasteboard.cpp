#include "platform/wayland/DataControlPasteboard.h"

#include "platform/TaskRunner.h"
#include "platform/wayland/DataControlDevice.h"
#include "platform/wayland/PipeTransferThread.h"

#include <QPointer>

#include <cstring>
#include <unistd.h>

DataControlPasteboard::DataControlPasteboard(DataControlDevice &device, TaskRunner &tasks, QObject *parent)
    : QObject(parent)
    , m_device(device)
    , m_tasks(tasks)
    , m_transfers(std::make_unique<PipeTransferThread>())
{
    connect(&m_device, &DataControlDevice::selectionChanged, this, [this] {
        ++m_changeCount;
        if (m_changeHandler)
            m_changeHandler();
    });
}

// The transfer thread ends first: what it still hands back finds this alive.
DataControlPasteboard::~DataControlPasteboard() = default;

bool DataControlPasteboard::setChangeHandler(std::function<void()> handler)
{
    m_changeHandler = std::move(handler);
    return true;
}

bool DataControlPasteboard::holdsContents() const
{
    return m_device.ownsSelection() || m_device.selectionTypes().contains(QLatin1String(ownCopyType));
}

bool DataControlPasteboard::isAvailable() const
{
    return m_device.isReady();
}

void DataControlPasteboard::readContent(QObject *context, ReadCallback done)
{
    auto deliver = [context = QPointer<QObject>(context), done = std::move(done)](const PasteboardContent &content) {
        if (context)
            done(content);
    };
    if (m_device.ownsSelection())
        return readOwn(deliver);
    if (!m_device.isReady()) {
        QMetaObject::invokeMethod(this, [deliver] { deliver({}); }, Qt::QueuedConnection);
        return;
    }
    readOffer(deliver);
}

void DataControlPasteboard::readOwn(const std::function<void(const PasteboardContent &)> &deliver)
{
    // Our own data needs no other program; an image is only decoded for its
    // thumbnail, off the main thread.
    QString imageType;
    for (const char *type : imageTypes) {
        if (imageType.isEmpty() && m_written.contains(QLatin1String(type)))
            imageType = QLatin1String(type);
    }
    const QByteArray image = m_written.value(imageType);
    PasteboardContent content;
    if (m_written.contains(QLatin1String(textTypes[0])))
        content.text = QString::fromUtf8(m_written.value(QLatin1String(textTypes[0])));
    m_tasks.run(this, [deliver, content, image, format = imageType.mid(6).toLatin1()]() mutable -> TaskRunner::Continuation {
        if (!image.isEmpty())
            Pasteboard::takeImage(image, format, content);
        return [deliver, content] { deliver(content); };
    });
}

void DataControlPasteboard::readOffer(const std::function<void(const PasteboardContent &)> &deliver)
{
    const QStringList offered = m_device.selectionTypes();
    auto first = [&offered](auto &&types) {
        for (const char *type : types) {
            if (offered.contains(QLatin1String(type)))
                return QString::fromLatin1(type);
        }
        return QString();
    };
    const QString hintType = QString::fromLatin1(Pasteboard::passwordHintType);
    const bool hinted = offered.contains(hintType);
    const QString imageType = first(imageTypes);
    const QString textType = first(textTypes);
    // Every type is asked for at once and read side by side: a holder that
    // writes them one after another, in any order, is read in one go.
    std::vector<int> fds;
    auto ask = [this, &fds](const QString &type) {
        if (type.isEmpty())
            return -1;
        const int fd = m_device.receive(type);
        if (fd >= 0)
            fds.push_back(fd);
        return fd < 0 ? -1 : int(fds.size() - 1);
    };
    const int hintAt = hinted ? ask(hintType) : -1;
    const int imageAt = ask(imageType);
    const int textAt = ask(textType);
    if (hinted && hintAt < 0) {
        for (int fd : fds)
            ::close(fd);
        PasteboardContent concealed;
        concealed.concealed = true;
        QMetaObject::invokeMethod(this, [deliver, concealed] { deliver(concealed); }, Qt::QueuedConnection);
        return;
    }
    const QPointer<DataControlPasteboard> self(this);
    auto taken = [self, deliver, hintAt, imageAt, textAt, textType, format = imageType.mid(6).toLatin1()](
                     std::vector<std::optional<QByteArray>> results) {
        PasteboardContent content;
        auto result = [&results](int at) { return at < 0 ? std::nullopt : results[std::size_t(at)]; };
        // The hint itself may never come: then nothing is taken either.
        if (hintAt >= 0) {
            const std::optional<QByteArray> hint = result(hintAt);
            content.concealed = !hint || hint->trimmed() == Pasteboard::passwordHintSecret;
        }
        if (!content.concealed) {
            const bool latin1 = textType == QLatin1String(latin1TextType);
            if (const std::optional<QByteArray> text = result(textAt))
                content.text = latin1 ? QString::fromLatin1(*text) : QString::fromUtf8(*text);
        }
        const QByteArray image = content.concealed ? QByteArray() : result(imageAt).value_or(QByteArray());
        // Decoding is for the task runner; this thread only moves bytes.
        QMetaObject::invokeMethod(
            self.data(),
            [self, deliver, content, image, format]() mutable {
                if (!self)
                    return;
                if (image.isEmpty())
                    return deliver(content);
                self->m_tasks.run(self, [deliver, content, image, format]() mutable -> TaskRunner::Continuation {
                    Pasteboard::takeImage(image, format, content);
                    return [deliver, content] { deliver(content); };
                });
            },
            Qt::QueuedConnection);
    };
    m_transfers->read(std::move(fds), maxReadBytes, std::chrono::milliseconds(readTimeoutMs), std::move(taken));
}

bool DataControlPasteboard::writeString(const QString &text)
{
    Offered data;
    const QByteArray utf8 = text.toUtf8();
    for (const char *type : textTypes) {
        if (std::strcmp(type, latin1TextType) != 0)
            data.insert(QLatin1String(type), utf8);
    }
    offer(std::move(data));
    return m_device.isReady();
}

bool DataControlPasteboard::writeImage(const QByteArray &bytes, const QString &mimeType)
{
    offer(Offered{{mimeType, bytes}});
    return m_device.isReady();
}

bool DataControlPasteboard::addImageType(const QByteArray &bytes, const QString &mimeType)
{
    // A selection's types are fixed once it is set: the same content comes
    // again as a new selection with one type more.
    if (!m_device.ownsSelection())
        return false;
    Offered data = m_written;
    data.insert(mimeType, bytes);
    offer(std::move(data));
    return true;
}

void DataControlPasteboard::offer(Offered data)
{
    data.insert(QLatin1String(ownCopyType), QByteArray());
    m_written = data;
    auto offered = std::make_shared<const Offered>(std::move(data));
    PipeTransferThread *transfers = m_transfers.get();
    const QPointer<DataControlPasteboard> self(this);
    m_device.setSelection(offered->keys(), [self, transfers, offered](const QString &type, int fd) {
        if (!self || !offered->contains(type)) {
            ::close(fd);
            return;
        }
        transfers->write(fd, offered->value(type), std::chrono::milliseconds(readTimeoutMs));
    });
}
