#include "platform/SettingsDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Creates the folder (0700) and an empty file (0600) before QSettings writes
// for the first time: its atomic rewrite keeps the permissions of the file it
// replaces, so the settings are never readable by others, not even briefly.
void preparePrivateFile(const QString &path)
{
    const QFileInfo info(path);
    QDir dir = info.absoluteDir();
    if (!dir.exists()) {
        if (!QDir().mkpath(dir.absolutePath()))
            return;
        QFile::setPermissions(dir.absolutePath(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    if (!info.exists()) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.setPermissions(privateFile);
    } else if (info.isFile()) {
        QFile::setPermissions(path, privateFile);
    }
}

} // namespace

SettingsDefaultsStore::SettingsDefaultsStore(const QString &path)
    : m_path(path)
{
    preparePrivateFile(path);
    // Left by a write that a crash interrupted; the file itself is whole.
    const QFileInfo info(path);
    for (const QString &name : info.dir().entryList({info.fileName() + QStringLiteral(".new"),
                                                     info.fileName() + QStringLiteral(".check-*")},
                                                    QDir::Files | QDir::Hidden))
        QFile::remove(info.dir().filePath(name));
    // A file it cannot fully parse is read as far as possible; the next
    // write keeps the keys that were understood.
    const QSettings settings(path, QSettings::IniFormat);
    for (const QString &key : settings.allKeys())
        m_values.insert(key, settings.value(key));
}

SettingsDefaultsStore::~SettingsDefaultsStore() = default;

QString SettingsDefaultsStore::standardPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zorv/zorv.conf");
}

bool SettingsDefaultsStore::isGroup(const QString &key) const
{
    const QString prefix = key + u'/';
    const auto next = m_values.lowerBound(prefix);
    return next != m_values.cend() && next.key().startsWith(prefix);
}

std::optional<QVariantList> SettingsDefaultsStore::arrayForKey(const QString &key) const
{
    const std::lock_guard lock(m_mutex);
    if (!isGroup(key))
        return std::nullopt; // missing, or stored as a plain value (the blob shape)

    const int count = storedElementCount(key);
    QVariantList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(readArrayElement(key, i));
    return list;
}

// The stored "size" is trusted only as far as elements actually exist, so a
// corrupted size of a billion cannot make the read loop forever.
int SettingsDefaultsStore::storedElementCount(const QString &key) const
{
    const QString prefix = key + u'/';
    bool ok = false;
    const int declared = m_values.value(prefix + QStringLiteral("size")).toInt(&ok);
    int highestPresent = 0;
    for (auto it = m_values.lowerBound(prefix); it != m_values.cend() && it.key().startsWith(prefix); ++it) {
        const QString inside = it.key().mid(prefix.size());
        bool isNumber = false;
        const int index = inside.section(u'/', 0, 0).toInt(&isNumber);
        if (isNumber && inside.contains(u'/') && index > highestPresent && index <= declared)
            highestPresent = index;
    }
    return ok ? highestPresent : 0;
}

QVariant SettingsDefaultsStore::readArrayElement(const QString &key, int index) const
{
    // QSettings numbers array elements from 1.
    const QString prefix = key + u'/' + QString::number(index + 1) + u'/';
    QVariantMap map;
    for (auto it = m_values.lowerBound(prefix); it != m_values.cend() && it.key().startsWith(prefix); ++it) {
        const QString name = it.key().mid(prefix.size());
        if (name.contains(u'/'))
            return QVariant(QStringLiteral("nested groups are not a string map"));
        map.insert(name, it.value());
    }
    return map;
}

void SettingsDefaultsStore::removeKey(const QString &key)
{
    m_values.remove(key);
    const QString prefix = key + u'/';
    for (auto it = m_values.lowerBound(prefix); it != m_values.end() && it.key().startsWith(prefix);)
        it = m_values.erase(it);
}

bool SettingsDefaultsStore::setArray(const QString &key, const QList<StringMap> &list)
{
    const std::lock_guard lock(m_mutex);
    removeKey(key);
    for (int i = 0; i < list.size(); ++i) {
        const QString prefix = key + u'/' + QString::number(i + 1) + u'/';
        const StringMap &entry = list.at(i);
        for (auto it = entry.cbegin(); it != entry.cend(); ++it)
            m_values.insert(prefix + it.key(), it.value());
    }
    // As text, the way it reads back; also for an empty list, which has no element.
    m_values.insert(key + QStringLiteral("/size"), QString::number(list.size()));
    return write();
}

std::optional<QByteArray> SettingsDefaultsStore::dataForKey(const QString &key) const
{
    const std::lock_guard lock(m_mutex);
    if (isGroup(key))
        return std::nullopt; // the list shape
    const QVariant value = m_values.value(key);
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return value.toByteArray();
    case QMetaType::QString: // edited by hand without the @ByteArray wrapper
        return value.toString().toUtf8();
    default:
        return std::nullopt;
    }
}

bool SettingsDefaultsStore::setData(const QString &key, const QByteArray &data)
{
    const std::lock_guard lock(m_mutex);
    removeKey(key);
    m_values.insert(key, data);
    return write();
}

bool SettingsDefaultsStore::write()
{
    // QSettings renames a finished file over the old one, but it misses a
    // buffered write that failed: on a full disk it put a truncated file in
    // place of the good one and reported success (Qt 6.4, measured). So the
    // new file is written beside the old one and read back whole first.
    if (!QFileInfo::exists(m_path))
        preparePrivateFile(m_path); // the folder may have been removed or fixed meanwhile
    const QString fresh = m_path + QStringLiteral(".new");
    QFile::remove(fresh);
    {
        QFile file(fresh);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return false;
        file.setPermissions(privateFile); // kept by QSettings' rewrite
    }
    {
        QSettings settings(fresh, QSettings::IniFormat);
        for (auto it = m_values.cbegin(); it != m_values.cend(); ++it)
            settings.setValue(it.key(), it.value());
        settings.sync();
        if (settings.status() == QSettings::AccessError) {
            QFile::remove(fresh);
            return false;
        }
    }
    // Read under a name new to QSettings, which would otherwise answer from
    // what it cached while writing.
    const QString check = m_path + QStringLiteral(".check-%1-%2").arg(::getpid()).arg(++m_writes);
    bool whole = QFile::rename(fresh, check);
    if (whole) {
        const QSettings written(check, QSettings::IniFormat);
        whole = written.status() == QSettings::NoError && written.allKeys().size() == m_values.size();
        for (auto it = m_values.cbegin(); whole && it != m_values.cend(); ++it)
            whole = written.value(it.key()) == it.value();
    }
    if (!whole || std::rename(QFile::encodeName(check).constData(), QFile::encodeName(m_path).constData()) != 0) {
        QFile::remove(check);
        QFile::remove(fresh);
        return false;
    }
    return true;
}
