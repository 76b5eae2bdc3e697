#include "sources/CaptureFileNames.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <libintl.h>

namespace {

// gnome-screenshot and GNOME Shell stamp their names with the date and time;
// MATE's fork says "at" and may keep colons. A clash adds " - 2".
const char *const gnomeStamp = R"(\d{4}-\d{2}-\d{2} \d{2}[-:.]\d{2}[-:.]\d{2}(?: - \d+)?)";

QString gnomeTemplatePattern(const QString &translated)
{
    const qsizetype at = translated.indexOf(QLatin1String("%s"));
    if (at < 0)
        return {};
    return QRegularExpression::escape(translated.left(at)) + QLatin1String(gnomeStamp)
           + QRegularExpression::escape(translated.mid(at + 2));
}

QList<QRegularExpression> buildPatterns()
{
    QStringList alternatives;
    // The English templates, and the user's translations of them, which
    // the tools use when their catalogues are installed.
    const QList<std::pair<const char *, const char *>> gnomeTemplates = {
        {"gnome-screenshot", "Screenshot from %s"},
        {"gnome-shell", "Screenshot from %s"},
        {"mate-utils", "Screenshot at %s"},
    };
    for (const auto &[domain, english] : gnomeTemplates) {
        for (const QString &text : {QString::fromLatin1(english), QString::fromUtf8(dgettext(domain, english))}) {
            const QString pattern = gnomeTemplatePattern(text);
            if (!pattern.isEmpty() && !alternatives.contains(pattern))
                alternatives.append(pattern);
        }
    }
    alternatives += {
        // KDE Spectacle: Screenshot_20261209_101503
        QStringLiteral(R"(Screenshot_\d{8}_\d{6}(?:[-_]\d+)?)"),
        // xfce4-screenshooter: Screenshot_2026-12-09_10-15-03
        QStringLiteral(R"(Screenshot_\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(?:[-_]\d+)?)"),
        // Flameshot's "%F_%H-%M": 2026-12-09_10-15, then _1, _2 on a clash
        QStringLiteral(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}(?:_\d+)?)"),
        // scrot: 2026-12-09-101503_1920x1080_scrot, then _000, _001 on a clash
        QStringLiteral(R"(\d{4}-\d{2}-\d{2}-\d{6}_\d+x\d+_scrot(?:_\d+)?)"),
    };
    QList<QRegularExpression> patterns;
    for (const QString &alternative : alternatives)
        patterns.append(QRegularExpression(QRegularExpression::anchoredPattern(alternative)));
    return patterns;
}

} // namespace

bool CaptureFileNames::isCaptureName(const QString &name)
{
    static const QList<QRegularExpression> patterns = buildPatterns();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    for (const QRegularExpression &pattern : patterns) {
        if (pattern.match(stem).hasMatch())
            return true;
    }
    return false;
}
