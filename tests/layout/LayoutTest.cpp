// Every folder under src/ keeps to the dependency rule its README states:
// it includes headers only from itself and the folders it names, and its
// library links only their libraries.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString kSource = QStringLiteral(TQ880_SOURCE_DIR);

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The project's folders under src/, and the logger simulator's.
QStringList folders() {
    return QDir(kSource + QStringLiteral("/src")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// The folders a README's "Depends on:" paragraph names.
QSet<QString> allowedBy(const QString& folder, const QStringList& all) {
    const QString readme = readAll(kSource + QStringLiteral("/src/%1/README.md").arg(folder));
    const qsizetype at = readme.indexOf(QStringLiteral("Depends on:"));
    if (at < 0) return {};
    const QString paragraph = readme.mid(at).section(QStringLiteral("\n\n"), 0, 0);
    QSet<QString> allowed{folder};
    for (const QString& other : all)
        if (QRegularExpression(QStringLiteral("\\b(tq880_)?%1\\b").arg(other)).match(paragraph).hasMatch())
            allowed << other;
    // The simulated logger is a tool, named in words.
    if (paragraph.contains(QStringLiteral("simulated logger"))) allowed << QStringLiteral("sim");
    return allowed;
}

// Which folder each project header lives in.
QMap<QString, QString> headerHomes(const QStringList& all) {
    QMap<QString, QString> homes;
    for (const QString& folder : all) {
        QDirIterator it(kSource + QStringLiteral("/src/") + folder, {QStringLiteral("*.h")}, QDir::Files);
        while (it.hasNext())
            homes.insert(QFileInfo(it.next()).fileName(), folder);
    }
    QDirIterator sim(kSource + QStringLiteral("/tools/logger-sim"), {QStringLiteral("*.h")}, QDir::Files);
    while (sim.hasNext())
        homes.insert(QFileInfo(sim.next()).fileName(), QStringLiteral("sim"));
    return homes;
}

} // namespace

TEST(Layout, EveryFolderIncludesAndLinksOnlyWhatItsReadmeAllows) {
    const QStringList all = folders();
    ASSERT_TRUE(all.contains(QStringLiteral("link")) && all.contains(QStringLiteral("ui")))
        << kSource.toStdString();
    const QMap<QString, QString> homes = headerHomes(all);
    const QRegularExpression include(QStringLiteral("^#include \"([^\"]+)\""),
                                     QRegularExpression::MultilineOption);
    const QRegularExpression linked(QStringLiteral("tq880_(\\w+)"));
    for (const QString& folder : all) {
        const QSet<QString> allowed = allowedBy(folder, all);
        ASSERT_FALSE(allowed.size() < 1) << folder.toStdString();
        EXPECT_TRUE(QFile::exists(kSource + QStringLiteral("/src/%1/README.md").arg(folder)))
            << folder.toStdString() << " has no README";
        QDirIterator it(kSource + QStringLiteral("/src/") + folder,
                        {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files);
        while (it.hasNext()) {
            const QString file = it.next();
            auto m = include.globalMatch(readAll(file));
            while (m.hasNext()) {
                const QString header = m.next().captured(1);
                const QString home = homes.value(header);
                // LcdState.h is the one header-only piece the LCD takes from the link.
                if (home.isEmpty() ||
                    (folder == QLatin1String("lcd") && header == QLatin1String("LcdState.h")))
                    continue;
                EXPECT_TRUE(allowed.contains(home)) << file.toStdString() << " includes "
                                                    << header.toStdString() << " from " << home.toStdString();
            }
        }
        // Its libraries: tq880_<folder> and the executables link only what the README names.
        const QString cmake = readAll(kSource + QStringLiteral("/src/%1/CMakeLists.txt").arg(folder));
        const qsizetype links = cmake.indexOf(QStringLiteral("target_link_libraries"));
        auto m = linked.globalMatch(cmake.mid(links));
        while (m.hasNext()) {
            const QString lib = m.next().captured(1);
            if (lib == folder || lib == QLatin1String("cli") || lib == QLatin1String("app")) continue;
            EXPECT_TRUE(allowed.contains(lib))
                << folder.toStdString() << " links tq880_" << lib.toStdString();
        }
        // The folders without windows do not link the widgets.
        for (const char* plain : {"common", "link", "data", "logger", "archive"})
            if (folder == QLatin1String(plain))
                EXPECT_FALSE(cmake.contains(QStringLiteral("Qt6::Widgets")) ||
                             cmake.contains(QStringLiteral("Qt6::Gui")))
                    << folder.toStdString() << " links the widgets";
    }
}
