#include "views/TextItemView.h"

#include <QFontMetrics>
#include <QMimeData>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

TextItemView::TextItemView(const QString &text, QSize size, QWidget *parent)
    : ItemCardView(size, parent)
    , m_text(text)
    , m_isWebAddress(looksLikeWebAddress(text))
{
    m_lines = layOutLines(size.width() - 2 * textInset);
    // Five lines may not fit the card's height; the last one that does
    // carries the ellipsis.
    const int fitting = std::max(1, (size.height() - 2 * textInset) / QFontMetrics(textFont()).lineSpacing());
    if (m_lines.size() > fitting) {
        m_lines = m_lines.mid(0, fitting);
        m_lines.last() = QFontMetrics(textFont()).elidedText(m_lines.last() + QChar(0x2026), Qt::ElideRight,
                                                              size.width() - 2 * textInset);
    }
}

bool TextItemView::looksLikeWebAddress(const QString &text)
{
    // Nothing is trimmed: leading white space makes it ordinary text.
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QFont TextItemView::textFont() const
{
    QFont font = this->font();
    font.setPixelSize(fontPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

QStringList TextItemView::layOutLines(int width) const
{
    const QFontMetrics metrics(textFont());
    QString shown = m_text.left(maxLaidOutCharacters);
    if (m_isWebAddress) {
        shown = shown.section(QLatin1Char('\n'), 0, 0);
        return {metrics.elidedText(shown, Qt::ElideMiddle, width)};
    }
    shown.replace(QLatin1Char('\t'), QLatin1Char(' '));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QStringList lines;
    // Hard line breaks start new lines; each paragraph wraps on its own.
    const QStringList paragraphs = shown.split(QLatin1Char('\n'));
    for (const QString &paragraph : paragraphs) {
        QTextLayout wrap(paragraph, textFont());
        wrap.setTextOption(option);
        wrap.beginLayout();
        for (QTextLine line = wrap.createLine(); line.isValid(); line = wrap.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
            if (lines.size() > maximumLines())
                break;
        }
        wrap.endLayout();
        if (paragraph.isEmpty())
            lines.append(QString());
        if (lines.size() > maximumLines())
            break;
    }
    const bool truncated = lines.size() > maximumLines() || m_text.size() > shown.size();
    while (lines.size() > maximumLines())
        lines.removeLast();
    if (truncated && !lines.isEmpty())
        lines.last() = metrics.elidedText(lines.last() + QChar(0x2026), Qt::ElideRight, width);
    return lines;
}

QMimeData *TextItemView::dragData() const
{
    auto *data = new QMimeData;
    data->setText(m_text);
    return data;
}

QPixmap TextItemView::dragImage() const
{
    return renderBody();
}

void TextItemView::paintContent(QPainter &painter, const QRect &body) const
{
    painter.setFont(textFont());
    painter.setPen(m_isWebAddress ? QColor(0, 122, 255) : QColor(Qt::black));
    const QRect area = body.adjusted(textInset, textInset, -textInset, -textInset);
    const int lineHeight = QFontMetrics(textFont()).lineSpacing();
    int y = area.top();
    for (const QString &line : m_lines) {
        painter.drawText(QRect(area.left(), y, area.width(), lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += lineHeight;
    }
}

QColor TextItemView::bodyColor() const
{
    return QColor(255, 255, 255, qRound(0.92 * 255));
}
