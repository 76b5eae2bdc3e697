#include "platform/Pasteboard.h"

#include "platform/ImageFile.h"
#include "platform/PngEncoder.h"

#include <QMimeData>

bool Pasteboard::isConcealed(const QMimeData *data)
{
    return data && data->data(QString::fromLatin1(passwordHintType)).trimmed() == passwordHintSecret;
}

void Pasteboard::takeImage(const QByteArray &data, const QByteArray &format, PasteboardContent &content)
{
    const QImage image = ImageFile::decode(data, format);
    if (image.isNull())
        return;
    // Another format, such as the JPEG a screenshot card puts out first, is
    // encoded with the fast encoder: Qt's default level took seconds for a
    // 4K image, competing with the card's own PNG for the cores.
    content.png = format == "png" ? data : PngEncoder::encode(image);
    content.imageSize = image.size();
    content.thumbnail = ImageFile::thumbnail(image);
}
