// Owns the clipboard the way a password manager does: the text together with
// the hint that marks it as secret. Runs until killed.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    auto *data = new QMimeData;
    data->setText(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("hunter2"));
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
    return app.exec();
}
