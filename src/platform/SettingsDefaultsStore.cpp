#include "platform/SettingsDefaultsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

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
{
    preparePrivateFile(path);
    // A file it cannot fully parse is read as far as possible; QSettings
    // still rewrites it on the next change, keeping the keys it understood.
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

SettingsDefaultsStore::~SettingsDefaultsStore() = default;

QString SettingsDefaultsStore::standardPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zorv/zorv.conf");
}

std::optional<QVariantList> SettingsDefaultsStore::arrayForKey(const QString &key) const
{
    if (!m_settings->childGroups().contains(key))
        return std::nullopt; // missing, or stored as a plain value (the blob shape)

    const int count = storedElementCount(key);
    QVariantList list;
    list.reserve(count);
    m_settings->beginReadArray(key);
    for (int i = 0; i < count; ++i)
        list.append(readArrayElement(i));
    m_settings->endArray();
    return list;
}

// The stored "size" is trusted only as far as elements actually exist, so a
// corrupted size of a billion cannot make the read loop forever.
int SettingsDefaultsStore::storedElementCount(const QString &key) const
{
    m_settings->beginGroup(key);
    bool ok = false;
    const int declared = m_settings->value(QStringLiteral("size")).toInt(&ok);
    int highestPresent = 0;
    for (const QString &group : m_settings->childGroups()) {
        bool isNumber = false;
        const int index = group.toInt(&isNumber);
        if (isNumber && index > highestPresent && index <= declared)
            highestPresent = index;
    }
    m_settings->endGroup();
    return ok ? highestPresent : 0;
}

QVariant SettingsDefaultsStore::readArrayElement(int index) const
{
    m_settings->setArrayIndex(index);
    if (!m_settings->childGroups().isEmpty())
        return QVariant(QStringLiteral("nested groups are not a string map"));
    QVariantMap map;
    for (const QString &name : m_settings->childKeys())
        map.insert(name, m_settings->value(name));
    return map;
}

void SettingsDefaultsStore::setArray(const QString &key, const QList<StringMap> &list)
{
    m_settings->remove(key);
    m_settings->beginWriteArray(key, int(list.size()));
    for (int i = 0; i < list.size(); ++i) {
        m_settings->setArrayIndex(i);
        const StringMap &entry = list.at(i);
        for (auto it = entry.cbegin(); it != entry.cend(); ++it)
            m_settings->setValue(it.key(), it.value());
    }
    m_settings->endArray();
    if (list.isEmpty()) // QSettings writes no size for an empty array
        m_settings->setValue(key + QStringLiteral("/size"), 0);
    commit();
}

std::optional<QByteArray> SettingsDefaultsStore::dataForKey(const QString &key) const
{
    if (m_settings->childGroups().contains(key))
        return std::nullopt; // the list shape
    const QVariant value = m_settings->value(key);
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return value.toByteArray();
    case QMetaType::QString: // edited by hand without the @ByteArray wrapper
        return value.toString().toUtf8();
    default:
        return std::nullopt;
    }
}

void SettingsDefaultsStore::setData(const QString &key, const QByteArray &data)
{
    m_settings->remove(key);
    m_settings->setValue(key, data);
    commit();
}

void SettingsDefaultsStore::commit()
{
    m_settings->sync();
    // A format error is left over from reading a damaged file; only an
    // access error means this write did not reach the disk.
    m_lastWriteSucceeded = m_settings->status() != QSettings::AccessError;
}
