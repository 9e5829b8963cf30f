#pragma once

class QWidget;

// Shows a top-level window, also when it was minimised or hidden, raises it above the others
// and gives it the focus.
void bringToFront(QWidget* window);
