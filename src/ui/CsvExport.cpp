#include "ui/CsvExport.h"

#include "grid/MyGridCtrl.h"
#include "text/Charsets.h"

#include <QSaveFile>

QString CsvCell(const QString &text)
{
    QString cell = text;
    cell.remove(QLatin1Char('\''));
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    cell.replace(QLatin1Char(','), QStringLiteral("','"));
    return cell;
}

QByteArray GridCsv(const CMyGridCtrl &grid)
{
    QByteArray bytes;
    for (int row = grid.fixedRowCount(); row < grid.gridRowCount(); ++row) {
        QString line;
        for (int column = 0; column < grid.gridColumnCount(); ++column)
            line += CsvCell(grid.cellText(row, column)) + QLatin1Char(',');
        bytes += ToGbk(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool ExportGridCsv(const CMyGridCtrl &grid, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(GridCsv(grid));
    return file.commit();
}
