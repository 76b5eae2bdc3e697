// Converts arbitrary drag data into a shelf item, as a drop on the panel
// does. The input is a list of records: one byte n, n bytes of MIME type,
// two bytes (little-endian) m, m bytes of data. "@DIR@" in the data names
// the scratch folder, so seeds can drop its files.
#include "FuzzSupport.h"
#include "TestServices.h"
#include "VirtualScheduler.h"
#include "platform/PrivateTempFolder.h"
#include "views/ShelfDropTargetView.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QMimeData>

#include <cstdint>
#include <cstdlib>

namespace {

struct Fixture
{
    VirtualScheduler scheduler;
    QString dropFolder = FuzzSupport::scratchFolder() + QStringLiteral("/drops");
    bool made = QDir().mkpath(dropFolder);
    PrivateTempFolder tempFolder{dropFolder};
    ImmediateTaskRunner tasks;
    ShelfDropTargetView view{tempFolder, scheduler, tasks};
};

Fixture *fixture = nullptr;

// Drag data from another X client offers Qt's own image type whenever one
// of the offered types is a readable image, decoded from PNG first; a plain
// QMimeData does not, so it is added here the same way.
void addDecodedImage(QMimeData &mime)
{
    QStringList readable;
    for (const QByteArray &type : QImageReader::supportedMimeTypes())
        readable.append(QString::fromLatin1(type));
    readable.removeAll(QStringLiteral("image/png"));
    readable.prepend(QStringLiteral("image/png"));
    for (const QString &type : readable) {
        if (mime.hasFormat(type)) {
            mime.setImageData(QImage::fromData(mime.data(type)));
            return;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::startApplication(argc, argv);
    fixture = new Fixture;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QMimeData mime;
    std::size_t at = 0;
    while (at < size) {
        const std::size_t typeLength = data[at++];
        if (size - at < typeLength + 2)
            break;
        const QString type = QString::fromUtf8(reinterpret_cast<const char *>(data + at), qsizetype(typeLength));
        at += typeLength;
        const std::size_t length = std::min<std::size_t>(data[at] | (data[at + 1] << 8), size - at - 2);
        at += 2;
        const QByteArray bytes(reinterpret_cast<const char *>(data + at), qsizetype(length));
        at += length;
        if (!type.isEmpty())
            mime.setData(type, FuzzSupport::withScratchPaths(bytes));
    }
    addDecodedImage(mime);

    const bool acceptable = ShelfDropTargetView::isAcceptable(&mime);
    const std::optional<ShelfItemKind> kind = fixture->view.itemFor(&mime);
    // Nothing that cannot be dropped makes an item, and text is never empty.
    const QString *text = kind ? std::get_if<QString>(&*kind) : nullptr;
    if (kind && (!acceptable || (text && text->isEmpty())))
        std::abort();
    FuzzSupport::emptyFolder(fixture->dropFolder);
    return 0;
}
