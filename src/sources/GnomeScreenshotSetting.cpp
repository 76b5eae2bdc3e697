#include "sources/GnomeScreenshotSetting.h"

#include "platform/Scheduler.h"

#include <QPointer>
#include <QProcess>

GnomeScreenshotSetting::GnomeScreenshotSetting(Scheduler &scheduler, std::function<void()> onRead, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_onRead(std::move(onRead))
{
}

GnomeScreenshotSetting::~GnomeScreenshotSetting()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

void GnomeScreenshotSetting::read()
{
    if (m_process) {
        m_readAgain = true;
        return;
    }
    if (program.isEmpty())
        return finish(std::nullopt);
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program);
    m_process->setArguments({QStringLiteral("get"), schema, key});
    // Only the answer on standard output matters; "No such schema" goes nowhere.
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->setStandardInputFile(QProcess::nullDevice());
    const QPointer<GnomeScreenshotSetting> self(this);
    connect(m_process.get(), &QProcess::finished, this, [self](int exitCode, QProcess::ExitStatus status) {
        if (!self || !self->m_process)
            return;
        const bool answered = status == QProcess::NormalExit && exitCode == 0;
        self->finish(answered ? parseString(self->m_process->readAllStandardOutput()) : std::nullopt);
    });
    connect(m_process.get(), &QProcess::errorOccurred, this, [self](QProcess::ProcessError error) {
        // A crash or a kill also ends in `finished`; only a failed start does not.
        if (self && self->m_process && error == QProcess::FailedToStart)
            self->finish(std::nullopt);
    });
    m_process->start();
    // A kill ends in `finished` as a crash, which reads as no value.
    m_timeoutTimer = m_scheduler.scheduleOneShot(answerTimeout, this, [self] {
        if (self && self->m_process)
            self->m_process->kill();
    });
}

void GnomeScreenshotSetting::finish(std::optional<QString> value)
{
    m_timeoutTimer.reset();
    // The process object may still be inside its own signal: delete it later.
    if (m_process)
        m_process.release()->deleteLater();
    m_value = std::move(value);
    if (std::exchange(m_readAgain, false)) {
        read();
        return;
    }
    if (m_onRead)
        m_onRead();
}

std::optional<QString> GnomeScreenshotSetting::parseString(const QByteArray &output)
{
    const QString text = QString::fromUtf8(output).trimmed();
    if (text.size() < 2)
        return std::nullopt;
    const QChar quote = text.front();
    if ((quote != QLatin1Char('\'') && quote != QLatin1Char('"')) || text.back() != quote)
        return std::nullopt;
    QString value;
    const qsizetype end = text.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        const QChar c = text[i];
        if (c == quote)
            return std::nullopt; // an unescaped quote inside: not one string
        if (c != QLatin1Char('\\')) {
            value += c;
            continue;
        }
        if (++i == end)
            return std::nullopt;
        const char escaped = text[i].toLatin1();
        const int hexDigits = escaped == 'u' ? 4 : escaped == 'U' ? 8 : 0;
        if (hexDigits) {
            bool ok = false;
            const uint code = text.mid(i + 1, hexDigits).toUInt(&ok, 16);
            if (!ok || i + hexDigits >= end)
                return std::nullopt;
            const char32_t character = code;
            value += QString::fromUcs4(&character, 1);
            i += hexDigits;
            continue;
        }
        switch (escaped) {
        case 'n': value += QLatin1Char('\n'); break;
        case 't': value += QLatin1Char('\t'); break;
        case 'r': value += QLatin1Char('\r'); break;
        case 'f': value += QLatin1Char('\f'); break;
        case 'v': value += QLatin1Char('\v'); break;
        case 'a': value += QLatin1Char('\a'); break;
        case 'b': value += QLatin1Char('\b'); break;
        default: value += text[i]; break; // \\, \' and \" stand for themselves
        }
    }
    return value;
}
