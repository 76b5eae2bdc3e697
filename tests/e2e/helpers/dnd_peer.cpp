// Another program for drag-and-drop tests, in one of two roles:
//   dnd_peer drop OUTFILE X Y          a window at X, Y that accepts drops and
//                                      appends what it receives to OUTFILE
//   dnd_peer drag KIND VALUE X Y       a window at X, Y that starts a drag when
//                                      pressed and moved, of one of these kinds:
//     text       the text VALUE
//     file       the file URL of VALUE
//     png        the bytes of the file VALUE as image/png
//     web-image  the bytes of the file VALUE as a browser offers a dragged web
//                image: untyped bytes beside its http address and markup
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>

namespace {

class DropWindow final : public QWidget
{
public:
    explicit DropWindow(QString out)
        : m_out(std::move(out))
    {
        setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent *event) override
    {
        const QMimeData *data = event->mimeData();
        QString line;
        if (data->hasUrls()) {
            QStringList urls;
            for (const QUrl &url : data->urls())
                urls.append(url.toString());
            line = QStringLiteral("urls:") + urls.join(QLatin1Char(' '));
        } else if (data->hasText()) {
            line = QStringLiteral("text:") + data->text();
        } else {
            line = QStringLiteral("other:") + data->formats().join(QLatin1Char(' '));
        }
        event->acceptProposedAction();
        QFile file(m_out);
        if (file.open(QIODevice::Append))
            file.write(line.toUtf8() + "\n");
    }

private:
    QString m_out;
};

class DragWindow final : public QWidget
{
public:
    DragWindow(QString kind, QString value)
        : m_kind(std::move(kind))
        , m_value(std::move(value))
    {
    }

protected:
    void mousePressEvent(QMouseEvent *event) override { m_pressedAt = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (m_dragging || (event->position().toPoint() - m_pressedAt).manhattanLength() < 5)
            return;
        m_dragging = true;
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        if (m_kind == QLatin1String("file")) {
            data->setUrls({QUrl::fromLocalFile(m_value)});
        } else if (m_kind == QLatin1String("png")) { // the file's bytes, as image data
            data->setData(QStringLiteral("image/png"), fileBytes());
        } else if (m_kind == QLatin1String("web-image")) {
            const QString address = QStringLiteral("http://example.com/") + QFileInfo(m_value).fileName();
            data->setUrls({QUrl(address)});
            data->setText(address);
            data->setHtml(QStringLiteral("<img src=\"%1\">").arg(address));
            data->setData(QStringLiteral("XdndDirectSave0"), QFileInfo(m_value).fileName().toUtf8());
            data->setData(QStringLiteral("application/octet-stream"), fileBytes());
        } else
            data->setText(m_value);
        drag->setMimeData(data);
        const Qt::DropAction result = drag->exec(Qt::CopyAction);
        std::printf("drag ended: %s\n", result == Qt::CopyAction ? "copied" : "refused");
        std::fflush(stdout);
        m_dragging = false;
    }

private:
    QByteArray fileBytes() const
    {
        QFile file(m_value);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString m_kind;
    QString m_value;
    QPoint m_pressedAt;
    bool m_dragging = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    std::unique_ptr<QWidget> window;
    int x = 0;
    int y = 0;
    if (args.size() == 5 && args.at(1) == QLatin1String("drop")) {
        window = std::make_unique<DropWindow>(args.at(2));
        x = args.at(3).toInt();
        y = args.at(4).toInt();
    } else if (args.size() == 6 && args.at(1) == QLatin1String("drag")) {
        window = std::make_unique<DragWindow>(args.at(2), args.at(3));
        x = args.at(4).toInt();
        y = args.at(5).toInt();
    } else {
        std::fprintf(stderr, "usage: dnd_peer drop OUTFILE X Y | dnd_peer drag KIND VALUE X Y\n");
        return 2;
    }
    window->setWindowTitle(QStringLiteral("dnd peer"));
    window->setGeometry(x, y, 200, 200);
    window->setStyleSheet(QStringLiteral("background: #808080;"));
    window->show();
    return app.exec();
}
