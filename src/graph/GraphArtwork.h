#pragma once

// The pictures of the graph windows and the print choice window, drawn with
// QPainter so nothing depends on image files.

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace tq {

QIcon statisticIcon(int panel); // 1: the upper statistics panel, 2: the lower one
QIcon normalCursorIcon();
QIcon crossToolIcon();
QIcon textToolIcon();
QIcon undoZoomIcon();
QIcon graphOptionIcon();
// The pointer of the cross tool: a cross centred 15 pixels right of and
// below its hot spot, where the cross annotation lands.
QCursor crossPointer();

QPixmap printGraphPicture(); // 144 x 79
QPixmap printTextPicture();  // 121 x 73
QIcon cancelIcon();

} // namespace tq
