#pragma once

#include "AppPaths.h"
#include "DialogRunner.h"
#include "GraphInteractionState.h"
#include "Messages.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every graph test runs with its own program folder (the template lands
// there), fresh shared interaction state, no dialog runner and every
// message box recorded instead of shown.
class GraphFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        tq::AppPaths::setHome(home.path());
        tq::graphInteraction() = {};
        tq::setDialogRunner({});
        tq::Messages::setHandler([this](tq::Messages::Kind, const QString&, const QString& text) {
            messages << text;
            return tq::Messages::Ok;
        });
    }
    void TearDown() override {
        tq::Messages::setHandler({});
        tq::setDialogRunner({});
        tq::AppPaths::setHome(QString());
    }

    QTemporaryDir home;
    QStringList messages;
};
