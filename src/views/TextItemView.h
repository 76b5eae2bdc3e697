#pragma once

#include "views/ItemCardView.h"

// The card of a text item: up to five lines of black text, or a web address
// in blue on one line, truncated in the middle.
class TextItemView final : public ItemCardView
{
    Q_OBJECT
public:
    TextItemView(const QString &text, QSize size, QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    bool isWebAddress() const { return m_isWebAddress; }
    int maximumLines() const { return m_isWebAddress ? 1 : 5; }
    // The lines as laid out on the card.
    const QStringList &displayedLines() const { return m_lines; }

    static bool looksLikeWebAddress(const QString &text);

    // Only this much of the text is ever laid out, however long it is.
    static constexpr int maxLaidOutCharacters = 1000;
    static constexpr int textInset = 10;
    static constexpr int fontPixelSize = 12;

protected:
    QMimeData *dragData() const override;
    QPixmap dragImage() const override;
    void paintContent(QPainter &painter, const QRect &body) const override;
    QColor bodyColor() const override;

private:
    QFont textFont() const;
    QStringList layOutLines(int width) const;

    QString m_text;
    bool m_isWebAddress;
    QStringList m_lines;
};
