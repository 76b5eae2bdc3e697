#pragma once

#include <QString>

// The names capture tools give their files by default. In a general
// folder such as Pictures or the home folder, only these count as
// screenshots: a photo copied there is not one.
class CaptureFileNames
{
public:
    // True when `name` (a last path component, with its extension) is a
    // name some capture tool writes by default.
    static bool isCaptureName(const QString &name);
};
