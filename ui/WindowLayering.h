#pragma once

class QWidget;

// Keeping a top-level window above all others, or not.
namespace WindowLayering {

// Changes only the stacking: the window keeps its place and stays shown.
void setStaysOnTop(QWidget* window, bool onTop);
bool staysOnTop(const QWidget* window);

} // namespace WindowLayering
