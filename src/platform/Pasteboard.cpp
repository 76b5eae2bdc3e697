#include "platform/Pasteboard.h"

#include <QMimeData>

bool Pasteboard::isConcealed(const QMimeData *data)
{
    return data && data->data(QString::fromLatin1(passwordHintType)).trimmed() == passwordHintSecret;
}
