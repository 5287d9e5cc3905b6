#pragma once
// The album grid as a CSV file for spreadsheet programs: GBK, one line per album row
// (no title line, no byte-order mark), every cell followed by a comma, CR LF.

#include <QByteArray>
#include <QString>

namespace pictrove {

class AlbumGrid;

// One cell as exported: apostrophes removed, double quotes doubled, and each comma
// written as apostrophe-comma-apostrophe.
QString csvCell(const QString &text);

// The bytes of the export. Every row below the title row is written; a thumbnail
// sheet has no title row, so all its rows are.
QByteArray gridCsv(const AlbumGrid &grid);

// Writes the export to `path`, replacing the file only when complete. False when it
// could not be written.
bool exportGridCsv(const AlbumGrid &grid, const QString &path);

}  // namespace pictrove
