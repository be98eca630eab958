// A second program writing to an archive, for the tests: "add URL SEED N"
// archives N downloads of two runs each (one every writer makes, one of its
// own); "hang URL" stops for good in the middle of a download's
// transaction, after saying "M", until it is killed.

#include "Archive.h"
#include "TestRuns.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) return 2;
    QString error;
    auto archive = tq::Archive::open(args[2], error);
    if (!archive) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::vector<tq::Archive::Added> added;
    if (args[1] == QLatin1String("hang")) {
        const std::vector<tq::RunReadings> runs{tq::testing::makeRun(900), tq::testing::makeRun(901, 200000),
                                                tq::testing::makeRun(902)};
        archive->addRuns(runs, {860, {}, QStringLiteral("hang")}, added, [](int done) {
            if (done < 2) return;
            std::printf("M\n");
            std::fflush(stdout);
            for (;;)
                ::pause();
        });
        return 1;
    }
    if (args[1] != QLatin1String("add") || args.size() < 5) return 2;
    const int seed = args[3].toInt();
    const int n = args[4].toInt();
    for (int i = 0; i < n; ++i) {
        const std::vector<tq::RunReadings> runs{tq::testing::makeRun(i),
                                                tq::testing::makeRun(1000 * seed + i)};
        if (!archive->addRuns(runs, {862, {}, QStringLiteral("child")}, added)) {
            std::fprintf(stderr, "%s\n", qPrintable(archive->lastError()));
            return 1;
        }
    }
    return 0;
}
