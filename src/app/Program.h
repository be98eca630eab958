#pragma once

namespace tq {

struct CommandLine;

// The program once its QApplication exists: names and icon, the program
// folder, the simulated logger when asked for, the splash, the main window
// and its start-up, then the event loop. Returns the exit code; it returns
// once the main window is closed or left, also in the middle of start-up.
int runProgram(const CommandLine& cmd);

} // namespace tq
