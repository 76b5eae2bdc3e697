#pragma once

#include <QColor>
#include <QPalette>

// The desktop's semantic colours, taken from the widget's palette so that
// light and dark themes both read well.
class SystemColors
{
public:
    static QColor label(const QPalette &palette) { return palette.color(QPalette::WindowText); }
    static QColor secondaryLabel(const QPalette &palette) { return label(palette, secondaryAlpha); }
    static QColor tertiaryLabel(const QPalette &palette) { return label(palette, tertiaryAlpha); }
    static QColor separator(const QPalette &palette) { return label(palette, separatorAlpha); }
    static QColor accent(const QPalette &palette) { return palette.color(QPalette::Highlight); }
    // A colour at a fraction of its own alpha.
    static QColor withAlpha(QColor color, qreal alpha);
    static QColor label(const QPalette &palette, qreal alpha) { return withAlpha(label(palette), alpha); }

    static constexpr qreal secondaryAlpha = 0.6;
    static constexpr qreal tertiaryAlpha = 0.35;
    static constexpr qreal separatorAlpha = 0.15;
};
