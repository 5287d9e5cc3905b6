#include "cli/AlbumChoice.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace pictrove {

std::optional<QList<int>> parseAlbumChoice(const QString &choice, int albumCount)
{
    const QString trimmed = choice.trimmed();
    QList<int> positions;
    if (trimmed.compare(QStringLiteral("all"), Qt::CaseInsensitive) == 0) {
        for (int i = 0; i < albumCount; ++i)
            positions.append(i);
        return positions;
    }
    if (trimmed.isEmpty())
        return std::nullopt;

    QSet<int> seen;
    const auto row = [albumCount](const QString &text) -> std::optional<int> {
        bool ok = false;
        const int number = text.trimmed().toInt(&ok);
        if (!ok || number < 1 || number > albumCount)
            return std::nullopt;
        return number;
    };
    for (const QString &piece : trimmed.split(QLatin1Char(','))) {
        const qsizetype dash = piece.indexOf(QLatin1Char('-'));
        const auto first = row(dash < 0 ? piece : piece.left(dash));
        const auto last = dash < 0 ? first : row(piece.mid(dash + 1));
        if (!first || !last || *last < *first)
            return std::nullopt;
        for (int number = *first; number <= *last; ++number)
            seen.insert(number - 1);
    }
    positions = QList<int>(seen.cbegin(), seen.cend());
    std::sort(positions.begin(), positions.end());
    return positions;
}

}  // namespace pictrove
