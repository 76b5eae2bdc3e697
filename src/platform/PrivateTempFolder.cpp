#include "platform/PrivateTempFolder.h"

#include <QFile>
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
    if (m_path.isEmpty() || !isPrivateFolder(m_path))
        m_path = makeFolder();
    return m_path;
}

QString PrivateTempFolder::writePng(const QImage &image)
{
    const QString folder = path();
    const QString name = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
    const QString file = (folder.isEmpty() ? m_parent : folder) + QLatin1Char('/') + name;
    if (folder.isEmpty())
        return file;
    // O_EXCL: never write through something planted under this name.
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          privateFileMode);
    if (fd < 0)
        return file;
    QFile out;
    if (out.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        image.save(&out, "PNG");
        out.close();
    } else {
        ::close(fd);
    }
    return file;
}
