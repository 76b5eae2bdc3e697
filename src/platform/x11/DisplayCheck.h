#pragma once

#include <QString>

// Answers, before any GUI object exists, whether an X display can be reached,
// so that a missing display gives a clear message instead of a Qt abort.
class DisplayCheck
{
public:
    // Empty when the display named by $DISPLAY accepts a connection;
    // otherwise a sentence that tells the user what is needed.
    static QString problem();
};
