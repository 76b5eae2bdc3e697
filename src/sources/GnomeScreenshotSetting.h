#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QProcess;
class Scheduler;
class Timer;

// gnome-screenshot's save folder, its GSettings key `auto-save-directory`,
// read by running `gsettings get` without waiting for it: the answer comes
// later, through `onRead`, on this object's thread. Nothing is known until
// the first answer; no tool or no schema (gnome-screenshot not installed)
// reads as no value.
class GnomeScreenshotSetting final : public QObject
{
    Q_OBJECT
public:
    GnomeScreenshotSetting(Scheduler &scheduler, std::function<void()> onRead, QObject *parent = nullptr);
    ~GnomeScreenshotSetting() override;

    // Starts a read. One asked for while another runs follows it, so the
    // last answer always reflects the newest setting.
    void read();

    // The folder as set ("" for gnome-screenshot's default), or none when
    // the tool, the schema or the key cannot be read.
    const std::optional<QString> &value() const { return m_value; }

    // A string as `gsettings get` prints it: a GVariant text literal in
    // single or double quotes. None when the text is not one.
    static std::optional<QString> parseString(const QByteArray &output);

    // Empty disables reading, for tests that must not depend on the machine.
    QString program = QStringLiteral("gsettings");
    static inline const QString schema = QStringLiteral("org.gnome.gnome-screenshot");
    static inline const QString key = QStringLiteral("auto-save-directory");
    // A read is a file lookup; one still running after this long is stuck
    // (a backend waiting for a bus, say) and is ended.
    static constexpr double answerTimeout = 5.0;

private:
    void finish(std::optional<QString> value);

    Scheduler &m_scheduler;
    std::function<void()> m_onRead;
    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<Timer> m_timeoutTimer;
    std::optional<QString> m_value;
    bool m_readAgain = false;
};
