#pragma once

#include "AppPaths.h"
#include "CollectionFile.h"
#include "CommandContext.h"
#include "DataSetCollection.h"
#include "DialogRunner.h"
#include "FileDialogs.h"
#include "GoldenFile.h"
#include "GraphInteractionState.h"
#include "Messages.h"
#include "ProgramArchive.h"
#include "SaveCommand.h"
#include "TfrmGraph.h"
#include "TfrmOpenSave.h"
#include "TfrmScope.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <optional>

#include <gtest/gtest.h>

// A main window's worth of what the commands use: an MDI area, the two
// file dialogs, its own program and data folders, every message recorded
// and every modal dialog answered by the next of a list of answers.
class CommandsFixture : public ::testing::Test {
  protected:
    using Answer = std::function<int(QDialog&)>;

    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        tq::AppPaths::setHome(home.filePath(QStringLiteral("program")));
        tq::AppPaths::setDataFolder(home.filePath(QStringLiteral("data")));
        QDir().mkpath(home.filePath(QStringLiteral("data")));
        QDir().mkpath(home.filePath(QStringLiteral("program")));
        tq::graphInteraction() = {};
        tq::dataSetCollection().replaceContents({}, {}, {});
        tq::dataSetCollection().setDownloadUnsaved(false);
        area.resize(1400, 900);
        area.show();
        dialogs = std::make_unique<tq::FileDialogs>(&area);
        context.area = &area;
        context.dialogs = dialogs.get();
        tq::setDialogRunner([this](QDialog& d) {
            dialogTitles << d.windowTitle();
            if (answers.empty()) {
                ADD_FAILURE() << "unexpected dialog " << d.windowTitle().toStdString();
                return 0;
            }
            Answer a = answers.front();
            answers.pop_front();
            return a(d);
        });
        tq::Messages::setHandler([this](tq::Messages::Kind, const QString&, const QString& text) {
            messages << text;
            if (replies.empty()) return tq::Messages::Ok;
            const tq::Messages::Answer a = replies.front();
            replies.pop_front();
            return a;
        });
    }
    void TearDown() override {
        area.closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(answers.empty()) << answers.size() << " dialog answers left";
        tq::Messages::setHandler({});
        tq::setDialogRunner({});
        tq::AppPaths::setHome(QString());
        tq::AppPaths::setDataFolder(QString());
        // Each test archives into its own folder.
        tq::programarchive::configure({}, false);
    }

    // Answers for the choice window, the file dialogs and the range window.
    static Answer choose(int result) {
        return [result](QDialog& d) {
            EXPECT_NE(qobject_cast<tq::TfrmOpenSave*>(&d), nullptr) << d.windowTitle().toStdString();
            return result;
        };
    }
    static Answer file(const QString& name) {
        return [name](QDialog& d) {
            auto* f = qobject_cast<QFileDialog*>(&d);
            EXPECT_NE(f, nullptr);
            if (!f) return 0;
            f->selectFile(name);
            return int(QDialog::Accepted);
        };
    }
    // Picks the save dialog's last entry (ours) and a name.
    static Answer extraEntry(const QString& name) {
        return [name](QDialog& d) {
            auto* f = qobject_cast<QFileDialog*>(&d);
            EXPECT_NE(f, nullptr);
            if (!f) return 0;
            f->selectNameFilter(f->nameFilters().last());
            emit f->filterSelected(f->nameFilters().last());
            f->selectFile(name);
            return int(QDialog::Accepted);
        };
    }
    static Answer cancelFile() {
        return [](QDialog&) { return int(QDialog::Rejected); };
    }
    static Answer range(const QString& from, const QString& to, bool ok = true) {
        return [from, to, ok](QDialog& d) {
            auto* s = qobject_cast<tq::TfrmScope*>(&d);
            EXPECT_NE(s, nullptr);
            if (!s) return 0;
            s->radNo->setChecked(true);
            s->edtSelFrom->setText(from);
            s->edtSelTo->setText(to);
            (ok ? s->BitBtn1 : s->BitBtn2)->click();
            return s->result();
        };
    }

    // Saves the active window and waits until the save is over (a text file
    // is written on a worker): true when a file was written.
    static bool waitSaved(tq::SaveCommand& save) {
        std::optional<bool> written;
        save.run([&](bool w) { written = w; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return written.has_value(); }, 20000));
        return written.value_or(false);
    }

    QString path(const QString& name) const { return home.filePath(name); }
    static QString golden(const QString& name) { return tq::test::goldenPath(name); }
    static QByteArray bytesOf(const QString& name) {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QList<tq::TfrmGraph*> graphWindows() const {
        QList<tq::TfrmGraph*> out;
        for (QMdiSubWindow* s : area.subWindowList(QMdiArea::CreationOrder))
            if (auto* g = qobject_cast<tq::TfrmGraph*>(s->widget())) out << g;
        return out;
    }

    QTemporaryDir home;
    QMdiArea area;
    std::unique_ptr<tq::FileDialogs> dialogs;
    tq::CommandContext context;
    std::deque<Answer> answers;
    std::deque<tq::Messages::Answer> replies;
    QStringList messages;
    QStringList dialogTitles;
};
