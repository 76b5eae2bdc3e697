#include "model/ShelfArchive.h"
#include "platform/SettingsDefaultsStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const QString listKey = QStringLiteral("zorv.shelf.items");
const QString blobKey = QStringLiteral("zorv.hotkeys");

class SettingsDefaultsStoreTest : public ::testing::Test
{
protected:
    QString path() const { return folder.path() + "/zorv/zorv.conf"; }

    void writeFile(const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path()).absolutePath());
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QByteArray fileContent() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static int mode(const QString &path)
    {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
    }

    QTemporaryDir folder;
};

// Stores a shelf, blocks the disk, tries a changed shelf, unblocks the disk
// and writes a blob. Returns 0 when the blocked write said it failed, left
// the last good file as it was and kept the change readable, and the next
// write stored both; otherwise the step that went wrong. For a child process.
int writeThroughABlockedDisk(const QString &path, const std::function<void()> &block,
                             const std::function<void()> &unblock)
{
    const StringMap entry = {{"type", "text"}, {"text", QString(4096, 'x')}};
    SettingsDefaultsStore store(path);
    QFile file(path);
    if (!store.setArray(listKey, {entry}) || !file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray good = file.readAll();
    block();
    const bool written = store.setArray(listKey, {entry, entry});
    unblock();
    if (written || !file.seek(0) || file.readAll() != good || store.arrayForKey(listKey)->size() != 2)
        return 2;
    if (!store.setData(blobKey, "{}") || SettingsDefaultsStore(path).arrayForKey(listKey)->size() != 2)
        return 3;
    return QFileInfo(path).dir().entryList(QDir::Files).size() == 1 ? 0 : 4; // nothing left beside it
}

void setFileSizeLimit(rlim_t size)
{
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = std::min(size, limit.rlim_max);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

TEST_F(SettingsDefaultsStoreTest, ListsOfAwkwardStringsSurviveARestart)
{
    const QList<StringMap> list = {
        {{"type", "text"}, {"text", "hello, world"}},
        {{"type", "text"}, {"text", "@ByteArray(not a blob)"}},
        {{"type", "text"}, {"text", "  \"quoted\" ; = [section]\nsecond line\ttab  "}},
        {{"type", "text"}, {"text", QString::fromUtf8("ünïcødé 😀 \\ backslash")}},
        {{"type", "text"}, {"text", ""}},
        {{"type", "screenshot"}, {"url", "/home/me/Pictures/Screenshots/Shot 1.png"}},
    };
    SettingsDefaultsStore(path()).setArray(listKey, list);

    const auto read = SettingsDefaultsStore(path()).arrayForKey(listKey);
    ASSERT_TRUE(read);
    const auto maps = ShelfArchive::asStringMaps(*read);
    ASSERT_TRUE(maps) << "every value must read back as a string";
    EXPECT_EQ(*maps, list);
}

TEST_F(SettingsDefaultsStoreTest, TheFileIsHumanReadableAndPrivate)
{
    SettingsDefaultsStore(path()).setArray(listKey, {{{"type", "text"}, {"text", "visible"}}});
    EXPECT_TRUE(fileContent().contains("visible")) << fileContent().constData();
    EXPECT_EQ(mode(path()), 0600);
    EXPECT_EQ(mode(QFileInfo(path()).absolutePath()), 0700);

    // An existing file that others could read is made private again.
    QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    SettingsDefaultsStore again(path());
    again.setData(blobKey, "{}");
    EXPECT_EQ(mode(path()), 0600);
}

TEST_F(SettingsDefaultsStoreTest, WritesReplaceTheWholeValue)
{
    SettingsDefaultsStore store(path());
    store.setArray(listKey, {{{"type", "text"}, {"text", "1"}}, {{"type", "text"}, {"text", "2"}}});
    store.setArray(listKey, {{{"type", "text"}}});
    const auto read = SettingsDefaultsStore(path()).arrayForKey(listKey);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 1);
    EXPECT_EQ(read->first().toMap(), (QVariantMap{{"type", "text"}}));

    store.setArray(listKey, {});
    const auto empty = SettingsDefaultsStore(path()).arrayForKey(listKey);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
}

TEST_F(SettingsDefaultsStoreTest, EachShapeReadsAsNothingUnderTheOther)
{
    SettingsDefaultsStore store(path());
    store.setData(listKey, "blob");
    store.setArray(blobKey, {{{"a", "b"}}});
    EXPECT_FALSE(store.arrayForKey(listKey));
    EXPECT_FALSE(store.dataForKey(blobKey));
    EXPECT_FALSE(store.arrayForKey("missing"));
    EXPECT_FALSE(store.dataForKey("missing"));

    store.setData(blobKey, QByteArray("{\"enabled\": true}\n\x01\xff", 19));
    const auto blob = SettingsDefaultsStore(path()).dataForKey(blobKey);
    ASSERT_TRUE(blob);
    EXPECT_EQ(*blob, QByteArray("{\"enabled\": true}\n\x01\xff", 19));
}

TEST_F(SettingsDefaultsStoreTest, GarbageFilesNeverCrashAndDoNotBlockLaterWrites)
{
    const QList<QByteArray> garbage = {
        QByteArray("\x00\xff\xfe[[[=\n\x01", 9),
        "[General]\nzorv.shelf.items\\size=1000000000\nzorv.shelf.items\\1\\type=text\n"
        "zorv.shelf.items\\1\\text=kept\n",
        "[General]\nzorv.shelf.items\\size=-5\n",
        "[General]\nzorv.shelf.items\\size=2\nzorv.shelf.items\\1\\type=te", // truncated
        "[General\nzorv.shelf.items=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x3garbage)\n",
    };
    for (const QByteArray &content : garbage) {
        writeFile(content);
        SettingsDefaultsStore store(path());
        const auto read = store.arrayForKey(listKey);
        if (read) {
            EXPECT_LE(read->size(), 2);
        }
        EXPECT_TRUE(store.setArray(listKey, {{{"type", "text"}, {"text", "after"}}}));
        const auto reread = SettingsDefaultsStore(path()).arrayForKey(listKey);
        ASSERT_TRUE(reread) << content.constData();
        EXPECT_EQ(reread->size(), 1);
    }
}

TEST_F(SettingsDefaultsStoreTest, AHugeStoredSizeOnlyReadsWhatExists)
{
    writeFile("[General]\nzorv.shelf.items\\size=2000000000\nzorv.shelf.items\\1\\type=text\n"
              "zorv.shelf.items\\1\\text=kept\nzorv.shelf.items\\3\\type=text\nzorv.shelf.items\\3\\text=third\n");
    const auto read = SettingsDefaultsStore(path()).arrayForKey(listKey);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 3);
    EXPECT_EQ(read->at(0).toMap().value("text"), "kept");
    EXPECT_TRUE(read->at(1).toMap().isEmpty()); // a gap reads as an empty map
    EXPECT_EQ(read->at(2).toMap().value("text"), "third");
}

TEST_F(SettingsDefaultsStoreTest, NonStringValuesInsideTheListAreVisibleAsSuch)
{
    writeFile("[General]\nzorv.shelf.items\\size=2\nzorv.shelf.items\\1\\type=text\n"
              "zorv.shelf.items\\1\\text=@ByteArray(bytes)\nzorv.shelf.items\\2\\type=text\n"
              "zorv.shelf.items\\2\\sub\\deeper=x\n");
    const auto read = SettingsDefaultsStore(path()).arrayForKey(listKey);
    ASSERT_TRUE(read);
    EXPECT_FALSE(ShelfArchive::asStringMaps(*read));
}

TEST_F(SettingsDefaultsStoreTest, AConfigFolderThatCannotBeCreatedFailsQuietly)
{
    // A plain file where the folder should be stops even root from writing.
    QFile blocker(folder.path() + "/zorv");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    SettingsDefaultsStore store(path());
    EXPECT_FALSE(store.setArray(listKey, {{{"type", "text"}, {"text", "memory only"}}}));
    EXPECT_FALSE(QFileInfo::exists(path()));
    EXPECT_EQ(store.arrayForKey(listKey)->size(), 1); // kept for the next write

    // Once the folder can be made, the next write stores what was kept.
    ASSERT_TRUE(blocker.remove());
    EXPECT_TRUE(store.setData(blobKey, "{}"));
    EXPECT_EQ(SettingsDefaultsStore(path()).arrayForKey(listKey)->size(), 1);
}

TEST_F(SettingsDefaultsStoreTest, ABlockedDiskNeverDamagesTheFileAndTheNextWriteCatchesUp)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(path()).absolutePath());
    ::chmod(QFile::encodeName(folder.path()).constData(), 0711);
    // Root writes through permissions: it becomes another user for a while.
    const bool root = ::geteuid() == 0;
    const auto asOther = [](bool other) {
        if (::seteuid(other ? 65534 : 0) != 0)
            ::_exit(100);
    };
    const std::vector<std::pair<std::function<void()>, std::function<void()>>> blocks = {
        // A full disk: a write past the limit fails as ENOSPC does.
        {[] { std::signal(SIGXFSZ, SIG_IGN), setFileSizeLimit(256); }, [] { setFileSizeLimit(RLIM_INFINITY); }},
        // A folder that cannot be written.
        {[&] { root ? asOther(true) : void(::chmod(dir.constData(), 0500)); },
         [&] { root ? asOther(false) : void(::chmod(dir.constData(), 0700)); }},
        // A file that cannot be replaced: root's, in a sticky folder open to all, like /tmp.
        {[&] { ::chmod(dir.constData(), 01777), asOther(true); }, [&] { asOther(false); }},
    };
    for (size_t i = 0; i < (root ? blocks.size() : 2); ++i) {
        EXPECT_EXIT(::_exit(writeThroughABlockedDisk(path(), blocks[i].first, blocks[i].second)),
                    ::testing::ExitedWithCode(0), "") << "block " << i;
        ASSERT_TRUE(QDir(QString::fromLocal8Bit(dir)).removeRecursively());
    }
}

} // namespace
