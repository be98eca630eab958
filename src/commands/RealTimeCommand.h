#pragma once

#include "CommandContext.h"

class QMainWindow;

namespace tq {

class LiveLink;
class SaveCommand;
class TfrmRealTime;

// View > Real Time Graph: the one Real Time Graph window in the work area,
// fed by the live link: a point per live reading, a gap when the link is
// lost or the device is lent to a command.
namespace realtime {
// Opens the window, or brings the open one to the front.
TfrmRealTime* open(const CommandContext& context, LiveLink& live, SaveCommand& save);
// The open window, or none.
TfrmRealTime* window();
// Before the program ends: the open window's readings in no file are asked
// about. True to go on.
bool mayEnd();
// Feeds the window from the live link (for a window made elsewhere, as in tests).
void feed(TfrmRealTime& window, LiveLink& live);
} // namespace realtime

// Shows View > Real Time Graph (the menu item "RealTimeGraph1") and opens the window with it.
void addRealTimeCommand(QMainWindow* main, const CommandContext& context, LiveLink& live, SaveCommand& save);

} // namespace tq
