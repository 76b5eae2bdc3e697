#pragma once

class QWidget;

// The fades that cards enter and leave the shelf with. They run as Qt
// animations, so tests drive them on virtual time like every other timer.
class CardFade
{
public:
    // From transparent to opaque with ease-out timing.
    static void fadeIn(QWidget *card, double seconds);
    // To transparent with ease-in timing; the card is deleted at the end.
    static void fadeOutAndDelete(QWidget *card, double seconds);
    // The card's current alpha: 1 unless a fade is running on it.
    static double alpha(const QWidget *card);
};
