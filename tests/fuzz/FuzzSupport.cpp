#include "FuzzSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QString makeScratchFolder()
{
    QString base = qEnvironmentVariable("ZORV_FUZZ_SCRATCH");
    if (base.isEmpty())
        base = ::access("/dev/shm", W_OK) == 0 ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QString folder = base + QStringLiteral("/zorv-fuzz-") + QString::number(::getpid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);

    QImage image(16, 12, QImage::Format_ARGB32);
    image.fill(Qt::red);
    image.save(folder + QStringLiteral("/image.png"), "PNG");
    QFile png(folder + QStringLiteral("/image.png"));
    png.open(QIODevice::ReadOnly);
    writeFile(folder + QStringLiteral("/truncated.png"), png.read(png.size() / 2));
    writeFile(folder + QStringLiteral("/text.txt"), "not an image\n");
    QDir().mkpath(folder + QStringLiteral("/dir.png"));
    ::mkfifo(QFile::encodeName(folder + QStringLiteral("/fifo.png")).constData(), 0600);
    return folder;
}

} // namespace

// fontconfig keeps its caches where LeakSanitizer cannot see them; Qt asks
// it for fonts when a card lays out its text. Qt also keeps every font
// engine it loads (a fallback font for an unusual script, say), with its
// FreeType face and shaping tables, in a per-thread cache that the main
// thread never frees before exit.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:QFontDatabasePrivate::load\n"
           "leak:QTextEngine::shapeText\n";
}

// A corrupted PNG chunk length makes libpng ask for up to 2 GB that it
// never touches: a normal build maps that lazily in a millisecond, while
// AddressSanitizer takes seconds and counts it against the fuzzer's memory
// limit. Above 300 MB an allocation fails instead, as on a smaller
// machine, and libpng rejects the chunk. Zorv's own image limit is lower.
// Qt is built without frame pointers, so only the slow unwinder sees the
// Qt frames that the leak suppressions above name.
extern "C" const char *__asan_default_options()
{
    return "max_allocation_size_mb=300:allocator_may_return_null=1:fast_unwind_on_malloc=0";
}

namespace FuzzSupport {

void startApplication(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*=false"); // offscreen warnings would flood the run
    static QApplication app(*argc, *argv);
}

QString scratchFolder()
{
    struct Scratch
    {
        QString path = makeScratchFolder();
        ~Scratch() { QDir(path).removeRecursively(); }
    };
    static const Scratch scratch;
    return scratch.path;
}

QByteArray withScratchPaths(QByteArray input)
{
    return input.replace("@DIR@", QFile::encodeName(scratchFolder()));
}

void emptyFolder(const QString &folder)
{
    QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name)) || QDir(dir.filePath(name)).removeRecursively();
}

} // namespace FuzzSupport
