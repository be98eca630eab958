#pragma once

#include "Messages.h"

#include <memory>

class QMessageBox;
class QWidget;

namespace tq::ui {

// The box shown for a message: above the window that asked (a modal
// dialog, even one that stays on top), with its default button.
std::unique_ptr<QMessageBox> buildBox(Messages::Kind kind, const QString& title, const QString& text);

// Makes the message facade show these boxes.
void installMessageBoxes();

// The window boxes are centred on; defaults to the active window.
void setBoxParent(QWidget* parent);

} // namespace tq::ui
