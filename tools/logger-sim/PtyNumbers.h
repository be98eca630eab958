#pragma once

namespace tq::sim {

// Takes the slave side of a pseudo-terminal that is done with (its master
// already closed, so every other open of it is hung up) and keeps it open.
// A pty's number is free again once its last descriptor closes, and the next
// pty anyone opens gets it: a program that still holds the old path, to
// reopen it after the line was pulled, would then open another program's
// device. The newest few hundred are kept; older ones are closed.
void holdPtyNumber(int slaveFd);

} // namespace tq::sim
