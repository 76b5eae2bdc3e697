#pragma once

#include <QWidget>

// A borderless floating window that never takes focus, never shows in a
// taskbar and stays above normal windows. It is placed by Zorv alone: the
// window manager is bypassed, so a "hidden" panel really is off-screen.
class PanelWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit PanelWindow(const QRect &contentRect);
};
