#pragma once

#include <QWidget>

// A one-point separator line in the theme's separator colour.
class HairlineView final : public QWidget
{
    Q_OBJECT
public:
    explicit HairlineView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
