#pragma once

#include <QIcon>
#include <functional>

class QPainter;

namespace tq {

// An icon drawn by code in a designSize x designSize box and rendered at
// whatever pixel size is asked for, so it stays sharp on any screen.
// Disabled icons are drawn faded.
QIcon drawnIcon(std::function<void(QPainter&)> draw, int designSize);

} // namespace tq
