#pragma once

// How long a test waits for an event it expects. Generous on purpose: the
// machine may be busy with other work; a passing test never waits this
// long, it goes on as soon as the event came.
constexpr int kEventDeadlineMs = 20000;
