#pragma once

#include "views/ItemCardView.h"

// The card of a text item: the start of the text, a few lines.
class TextItemView final : public ItemCardView
{
    Q_OBJECT
public:
    TextItemView(const QString &text, QSize size, QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    const QString &displayedText() const { return m_displayed; }

    // Only this many characters are ever laid out, however long the text:
    // a 10 MB clipboard text must not freeze the panel.
    static constexpr int maxDisplayedCharacters = 300;
    static constexpr int textMargin = 8;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QString m_displayed;
};
