#pragma once

#include <QWidget>

#include <functional>

// What the shelf needs of every card: a fixed-size view with callbacks the
// panel sets after making it. Callbacks run on the main thread.
class ItemCardView : public QWidget
{
    Q_OBJECT
public:
    explicit ItemCardView(QSize size, QWidget *parent = nullptr);

    std::function<void()> onClick;
    std::function<void()> onDelete;
    std::function<void()> onDragStart;
    std::function<void()> onDragEnd;

    static constexpr int cornerRadius = 8;

protected:
    void paintCardBackground(QPainter &painter) const;
};
