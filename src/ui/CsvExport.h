#pragma once
// The album grid as a CSV file for spreadsheet programs: GBK, one line per album row
// (no title line, no byte-order mark), every cell followed by a comma, CR LF.

#include <QByteArray>
#include <QString>

class CMyGridCtrl;

// One cell as exported: apostrophes removed, double quotes doubled, and each comma
// written as apostrophe-comma-apostrophe.
QString CsvCell(const QString &text);

// The bytes of the export. Every row below the title row is written; a thumbnail
// sheet has no title row, so all its rows are.
QByteArray GridCsv(const CMyGridCtrl &grid);

// Writes the export to `path`, replacing the file only when complete. False when it
// could not be written.
bool ExportGridCsv(const CMyGridCtrl &grid, const QString &path);
