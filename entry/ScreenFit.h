#pragma once

class QSize;
class QWidget;

// Places a window wholly on the free part of the screen that holds its parent
// (a taskbar, the title bar and the borders count): centred on the parent,
// or on the screen without one, when `centre`; otherwise kept where it is as
// far as it fits. A window larger than that part shrinks as far as its
// contents allow.
void placeOnScreen(QWidget* window, bool centre = true);
// Sizes a window to its contents, never past that free part, then places it.
void fitOnScreen(QWidget* window, bool centre = true);
// How much wider and taller the window may grow and still fit that free part.
QSize roomToGrow(QWidget* window);
// From now on, whenever the window grows past that free part, it moves back
// inside it (up, for one that grew downwards), shrinking only when it cannot
// fit otherwise.
void keepOnScreen(QWidget* window);
