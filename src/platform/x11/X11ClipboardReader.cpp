#include "platform/x11/X11ClipboardReader.h"

#include "platform/x11/XcbConnection.h"
#include "platform/x11/XcbReply.h"

#include <QElapsedTimer>

#include <xcb/xcb.h>

#include <cstring>
#include <poll.h>

// One private connection, kept open between reads. Each read uses a window
// of its own, so nothing a slow owner sends late can mix into the next read.
class X11ClipboardReader::Connection
{
public:
    Connection()
        : m_connection(m_xcb.get())
    {
        if (!m_xcb.isValid())
            return;
        m_root = m_xcb.rootWindow(m_xcb.screenNumber());
        m_clipboard = atom("CLIPBOARD");
        m_targets = atom("TARGETS");
        m_incr = atom("INCR");
        m_property = atom("ZORV_CLIPBOARD");
        m_ok = m_clipboard && m_targets && m_incr && m_property;
    }

    bool isUsable() const { return m_ok && !m_xcb.hasError(); }

    xcb_atom_t atom(const char *name)
    {
        auto answer = xcbReply(xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr));
        return answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    PasteboardContent read()
    {
        PasteboardContent content;
        QElapsedTimer clock;
        clock.start();
        m_clock = &clock;
        m_window = xcb_generate_id(m_connection);
        const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        readInto(content);
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
        return content;
    }

private:
    void readInto(PasteboardContent &content)
    {
        const std::optional<QByteArray> targetList = convert(m_targets);
        if (!targetList)
            return;
        QList<xcb_atom_t> offered;
        for (qsizetype i = 0; i + 4 <= targetList->size(); i += 4) {
            xcb_atom_t value;
            std::memcpy(&value, targetList->constData() + i, 4);
            offered.append(value);
        }
        auto offers = [&](const char *name) {
            const xcb_atom_t type = atom(name);
            return type != XCB_ATOM_NONE && offered.contains(type) ? type : xcb_atom_t(XCB_ATOM_NONE);
        };
        if (const xcb_atom_t hint = offers(Pasteboard::passwordHintType)) {
            // The hint itself may never come: then nothing is taken either.
            const std::optional<QByteArray> value = convert(hint);
            if (!value || value->trimmed() == Pasteboard::passwordHintSecret) {
                content.concealed = true;
                return;
            }
        }
        for (const char *name : Pasteboard::imageTypes) {
            const xcb_atom_t type = offers(name);
            if (!type)
                continue;
            if (const std::optional<QByteArray> data = convert(type)) {
                Pasteboard::takeImage(*data, QByteArray(name).mid(6), content);
                if (content.hasImage())
                    return;
            }
        }
        for (const char *name : Pasteboard::textTypes) {
            const xcb_atom_t type = offers(name);
            if (!type)
                continue;
            if (const std::optional<QByteArray> data = convert(type)) {
                content.text = type == XCB_ATOM_STRING ? QString::fromLatin1(*data) : QString::fromUtf8(*data);
                return;
            }
        }
    }

    int remainingMs() const { return std::max(0, int(timeoutMs - m_clock->elapsed())); }

    // The next event for the read's window that `wanted` accepts, or null
    // when the time is up.
    template <typename Wanted> XcbReply<xcb_generic_event_t> waitFor(Wanted wanted)
    {
        xcb_flush(m_connection);
        for (;;) {
            while (XcbReply<xcb_generic_event_t> event = m_xcb.pollEvent()) {
                if (wanted(event.get()))
                    return event;
            }
            if (m_xcb.hasError() || remainingMs() == 0)
                return nullptr;
            pollfd fd{m_xcb.fileDescriptor(), POLLIN, 0};
            ::poll(&fd, 1, remainingMs());
        }
    }

    std::optional<QByteArray> convert(xcb_atom_t target)
    {
        xcb_convert_selection(m_connection, m_window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
        auto notify = waitFor([this](xcb_generic_event_t *event) {
            return (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY
                && reinterpret_cast<xcb_selection_notify_event_t *>(event)->requestor == m_window;
        });
        if (!notify || reinterpret_cast<xcb_selection_notify_event_t *>(notify.get())->property == XCB_ATOM_NONE)
            return std::nullopt; // no owner, a refusal, or no answer in time
        xcb_atom_t type = XCB_ATOM_NONE;
        std::optional<QByteArray> data = takeProperty(&type);
        if (!data || type != m_incr)
            return data;
        return readIncrementally(*data);
    }

    // Large content comes in pieces, each announced by a new property value.
    std::optional<QByteArray> readIncrementally(const QByteArray &announced)
    {
        quint32 lowerBound = 0;
        if (announced.size() >= 4)
            std::memcpy(&lowerBound, announced.constData(), 4);
        if (lowerBound > maxBytes)
            return std::nullopt;
        QByteArray whole;
        for (;;) {
            auto event = waitFor([this](xcb_generic_event_t *raw) {
                auto *property = reinterpret_cast<xcb_property_notify_event_t *>(raw);
                return (raw->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && property->window == m_window
                    && property->atom == m_property && property->state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!event)
                return std::nullopt;
            std::optional<QByteArray> piece = takeProperty(nullptr, maxBytes - whole.size());
            if (!piece)
                return std::nullopt;
            if (piece->isEmpty())
                return whole;
            whole += *piece;
        }
    }

    // Reads and deletes the property, refusing it when it is larger than
    // `limit` bytes; the deletion tells an INCR owner to send more.
    std::optional<QByteArray> takeProperty(xcb_atom_t *type, qint64 limit = maxBytes)
    {
        auto size = xcbReply(xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
            nullptr));
        if (!size)
            return std::nullopt;
        if (qint64(size->bytes_after) > limit) {
            xcb_delete_property(m_connection, m_window, m_property);
            return std::nullopt;
        }
        auto value = xcbReply(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             (size->bytes_after + 3) / 4),
            nullptr));
        if (!value)
            return std::nullopt;
        if (type)
            *type = value->type;
        return QByteArray(static_cast<const char *>(xcb_get_property_value(value.get())),
                          xcb_get_property_value_length(value.get()));
    }

    XcbConnection m_xcb;
    xcb_connection_t *m_connection; // m_xcb's, for the many plain xcb calls
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE, m_targets = XCB_ATOM_NONE, m_incr = XCB_ATOM_NONE,
               m_property = XCB_ATOM_NONE;
    bool m_ok = false;
    const QElapsedTimer *m_clock = nullptr;
};

X11ClipboardReader::X11ClipboardReader()
    : m_thread([this] { run(); })
{
}

X11ClipboardReader::~X11ClipboardReader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_wake.notify_all();
    m_thread.join();
}

void X11ClipboardReader::fetch(std::function<void(PasteboardContent)> done)
{
    post([this, done = std::move(done)] {
        if (!m_connection || !m_connection->isUsable())
            m_connection = std::make_unique<Connection>();
        done(m_connection->isUsable() ? m_connection->read() : PasteboardContent{});
    });
}

void X11ClipboardReader::post(std::function<void()> work)
{
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void X11ClipboardReader::run()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping)
                break;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
    m_connection.reset();
}
