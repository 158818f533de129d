#pragma once

class QWidget;

// Makes a page read-only for good: every control on it that changes data
// (buttons, fields, lists to choose from) is disabled and stays so, even
// when the page's own logic would enable it again on a new selection. Lists
// of rows stay usable, so they can still be scrolled and read.
void lockForReading(QWidget* page);
