#pragma once

#include "DeviceSession.h"
#include "PumpingWait.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tq::testing {

// Queues job on the session and lets events run until it is over; take
// sees the job before it goes.
template <class Job>
JobOutcome runJob(DeviceSession& session, std::unique_ptr<Job> job,
                  const std::function<void(Job&)>& take = {}, int deadlineMs = 60000) {
    JobOutcome outcome;
    bool over = false;
    session.queue(std::move(job), [&](DeviceJob& done) {
        outcome = done.outcome();
        if (take) take(static_cast<Job&>(done));
        over = true;
    });
    pumpingWaitWhile([&] { return !over; }, deadlineMs);
    EXPECT_TRUE(over) << "the job never ended";
    return outcome;
}

} // namespace tq::testing
