#pragma once

#include <QList>
#include <QStringList>

class QTableWidget;

// The read-only lists of the windows: a header row, whole-row selection,
// rebuilt from the database after every change.

// Headers and column widths in twips (1/1440 inch; 15 twips = 1 pixel at
// 96 dpi); a column without one keeps the default. The list keeps no row on
// focus (below).
void gridSetup(QTableWidget* grid, const QStringList& headers, const QList<int>& widthsTwips);
// Back to the header row alone.
void gridClear(QTableWidget* grid);
void gridAppend(QTableWidget* grid, const QStringList& cells);
// Replaces all data rows at once, leaving no row current: for long lists,
// where appending row by row makes the view rework its rows each time.
void gridFill(QTableWidget* grid, const QList<QStringList>& rows);
// Cell of a data row (0 = first data row).
QString gridCell(const QTableWidget* grid, int row, int column);
QStringList gridRow(const QTableWidget* grid, int row);

// A list that gains the focus while no row is current stays without one
// (left alone, the view would make its first row current, and the windows
// act on the current row): the user chooses the row.
void gridKeepsNoRowOnFocus(QTableWidget* grid);
