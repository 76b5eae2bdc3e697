#pragma once

#include <QWidget>

// A view that the mouse does not see: clicks and drags on it, and on
// everything inside it, reach the views below.
class PassthroughView final : public QWidget
{
    Q_OBJECT
public:
    explicit PassthroughView(QWidget *parent = nullptr);
};
