#pragma once

#include <QList>
#include <QStringList>

class QAbstractButton;
class QTableWidget;

// How the read-only lists read and answer the keyboard, beyond their
// contents (entry/Grid.h).

// Widens the columns to what they hold, without reading the rows: column i
// holds at most charsWide[i] capitals or digits (0 = unknown). A column is
// never narrower than its header text nor than the width it was given; the
// last one takes whatever room is left.
void gridFitColumns(QTableWidget* grid, const QList<int>& charsWide);
// Widens one column to the widest of the texts it can hold (a column of
// known labels).
void gridFitColumnTo(QTableWidget* grid, int column, const QStringList& texts);
// Once fitted, the list does not scroll sideways: the columns other than
// `flexible` keep their widths, and the flexible ones (names) share what is
// left by what they hold, never narrower than their headers. The list asks
// for the room that leaves; gridWantedWidth() is what shows every name whole.
void gridShareWidth(QTableWidget* grid, const QList<int>& flexible);
int gridWantedWidth(const QTableWidget* grid);
// The column of names (an office's) takes the room the others leave,
// instead of the last one.
void gridStretchColumn(QTableWidget* grid, int column);

// Enter on a row, or a double click, presses `button` (the list's Editar)
// when it may be pressed. The key goes no further, so a dialog's default
// button does not fire instead.
void gridActivates(QTableWidget* grid, QAbstractButton* button);
