#include "app/core/DialogSettings.h"

namespace kiv {

QStringList DialogSettings::QtNameFilters() const {
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (QString pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            // Where the filters were first written, "*.*" matched every name, with a dot or not.
            if (pattern == QLatin1String("*.*")) pattern = u'*';
            for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()})
                if (!patterns.contains(variant)) patterns << variant;
        }
        result << parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return result;
}

}  // namespace kiv
