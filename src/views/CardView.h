#pragma once

#include <QWidget>

// A rounded, faintly tinted box with a hairline border that groups the rows
// of the settings window. Its colours follow the theme.
class CardView final : public QWidget
{
    Q_OBJECT
public:
    explicit CardView(QWidget *parent = nullptr);

    static constexpr qreal cornerRadius = 10;
    static constexpr qreal borderWidth = 0.5;
    static constexpr qreal fillAlpha = 0.04;

protected:
    void paintEvent(QPaintEvent *event) override;
};
