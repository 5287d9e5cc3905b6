#include "ui/albumview/CsvExport.h"

#include "grid/AlbumGrid.h"
#include "text/Charsets.h"

#include <QSaveFile>

namespace pictrove {

QString csvCell(const QString &text)
{
    QString cell = text;
    cell.remove(QLatin1Char('\''));
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    cell.replace(QLatin1Char(','), QStringLiteral("','"));
    return cell;
}

QByteArray gridCsv(const AlbumGrid &grid)
{
    QByteArray bytes;
    for (int row = grid.fixedRowCount(); row < grid.gridRowCount(); ++row) {
        QString line;
        for (int column = 0; column < grid.gridColumnCount(); ++column)
            line += csvCell(grid.cellText(row, column)) + QLatin1Char(',');
        bytes += toGbk(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool exportGridCsv(const AlbumGrid &grid, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray csv = gridCsv(grid);
    // The flush on its own: commit does not notice when flushing the last buffered bytes
    // fails, and would put a cut file in place of the old one.
    if (file.write(csv) != csv.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace pictrove
