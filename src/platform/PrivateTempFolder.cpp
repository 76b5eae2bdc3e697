#include "platform/PrivateTempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t privateFolderMode = 0700;
constexpr mode_t privateFileMode = 0600;

} // namespace

PrivateTempFolder::PrivateTempFolder(const QString &parent)
    : m_parent(parent)
{
}

QString PrivateTempFolder::defaultParent()
{
    const QByteArray tmpdir = qgetenv("TMPDIR");
    return tmpdir.isEmpty() ? QStringLiteral("/tmp") : QFile::decodeName(tmpdir);
}

bool PrivateTempFolder::isPrivateFolder(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0777) == privateFolderMode;
}

QString PrivateTempFolder::makeFolder()
{
    const QString preferred = m_parent + QStringLiteral("/zorv-") + QString::number(::getuid());
    const QByteArray encoded = QFile::encodeName(preferred);
    if (::mkdir(encoded.constData(), privateFolderMode) == 0 || errno == EEXIST) {
        if (isPrivateFolder(preferred))
            return preferred;
    }
    // Taken by someone else, a link, or too open: make a fresh one instead.
    QByteArray pattern = encoded + "-XXXXXX";
    if (::mkdtemp(pattern.data()))
        return QFile::decodeName(pattern);
    return {};
}

QString PrivateTempFolder::path()
{
    const std::lock_guard lock(m_mutex);
    return lockedPath();
}

QString PrivateTempFolder::lockedPath()
{
    if (m_path.isEmpty() || !isPrivateFolder(m_path))
        m_path = makeFolder();
    return m_path;
}

QString PrivateTempFolder::ownImageName()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + imageSuffix;
}

bool PrivateTempFolder::isOwnImageName(const QString &name)
{
    return name.endsWith(imageSuffix) && !QUuid::fromString(name.chopped(imageSuffix.size())).isNull();
}

QString PrivateTempFolder::newFile(const std::function<bool(int fd)> &write)
{
    const QString folder = path();
    const QString name = ownImageName();
    const QString file = (folder.isEmpty() ? m_parent : folder) + QLatin1Char('/') + name;
    if (folder.isEmpty())
        return file;
    // O_EXCL: never write through something planted under this name.
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          privateFileMode);
    if (fd < 0)
        return file;
    write(fd);
    ::close(fd);
    return file;
}

QString PrivateTempFolder::writePng(const QImage &image)
{
    return newFile([&image](int fd) {
        QFile out;
        return out.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) && image.save(&out, "PNG");
    });
}

QString PrivateTempFolder::writePngData(const QByteArray &png)
{
    return newFile([&png](int fd) {
        for (qsizetype written = 0; written < png.size();) {
            const ssize_t n = ::write(fd, png.constData() + written, size_t(png.size() - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            written += n;
        }
        return true;
    });
}

std::shared_ptr<const PrivateFile> PrivateTempFolder::hold(const QString &file)
{
    const QString folder = path();
    if (folder.isEmpty() || QFileInfo(file).absolutePath() != QDir::cleanPath(folder))
        return nullptr;
    const QString cleaned = QDir::cleanPath(file);
    const std::lock_guard lock(m_registry->mutex);
    auto &entry = m_registry->live[cleaned];
    if (std::shared_ptr<PrivateFile> existing = entry.first.lock())
        return existing;
    auto created = std::make_shared<PrivateFile>(cleaned, m_registry);
    entry = {created, created.get()};
    return created;
}

void PrivateTempFolder::removeFilesExcept(const QSet<QString> &keep)
{
    const QString folder = path();
    if (folder.isEmpty())
        return;
    const std::lock_guard lock(m_registry->mutex);
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        // Only what Zorv writes here: the single-instance lock lives here too.
        if (!isOwnImageName(name))
            continue;
        const QString file = QDir::cleanPath(folder + QLatin1Char('/') + name);
        if (!keep.contains(file) && !m_registry->live.count(file))
            ::unlink(QFile::encodeName(file).constData());
    }
}

void PrivateTempFolder::keepFiles()
{
    const std::lock_guard lock(m_registry->mutex);
    m_registry->keepFiles = true;
}
