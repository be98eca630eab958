#pragma once

#include "LoggerSim.h"
#include "PtyPort.h"

#include <gtest/gtest.h>

#include <memory>

// A running simulated logger and the PC's end of its port.
struct SimRig {
    explicit SimRig(int model) : sim(model) {
        QString error;
        started = sim.start(&error);
        EXPECT_TRUE(started) << error.toStdString();
        port = std::make_unique<PtyPort>(sim.devicePath());
        EXPECT_TRUE(port->isOpen());
    }

    // Sends a command and reads its n-byte reply.
    QByteArray ask(const QByteArray& command, int n) {
        port->send(command);
        return port->read(n);
    }

    tq::sim::LoggerSim sim;
    std::unique_ptr<PtyPort> port;
    bool started = false;
};

// Nothing more arrives within this pause.
constexpr int kQuietMs = 300;
