// tq880-cli compare: several runs side by side, their statistics table on
// standard output, the chart or the wide CSV to a file.

#include "Archive.h"
#include "ArchiveCommands.h"
#include "ArchiveCompare.h"
#include "Chart.h"
#include "ChartExport.h"
#include "Cli.h"
#include "CliSupport.h"
#include "CommandGuard.h"
#include "CompareSources.h"
#include "TfrmCompare.h"

#include <QFileInfo>

#include <cmath>

namespace tq::cli {

namespace {

void printTable(const std::vector<compare::Run>& runs, TemperatureUnit unit, compare::Align align,
                const RunLimits& limits, const compare::Difference* diff, Io& io) {
    const compare::TextFormats formats = compare::TextFormats::iso();
    io.out << compare::header(limits).join(QLatin1Char('\t')) << '\n';
    for (size_t i = 0; i < runs.size(); ++i) {
        const compare::Row row = compare::row(runs[i], unit, limits);
        io.out << compare::cells(QStringLiteral("%1 %2").arg(i + 1).arg(runs[i].label(formats)), row, limits,
                                 formats)
                      .join(QLatin1Char('\t'))
               << '\n';
    }
    if (diff)
        io.out << compare::differenceCells(QStringLiteral("A - B (1 - 2)"), compare::figures(*diff),
                                           compare::offset(runs[0], align), limits, formats)
                      .join(QLatin1Char('\t'))
               << '\n';
    io.out << "unit\t" << compare::unitText(unit) << '\n';
    if (diff) io.out << "difference\t" << compare::methodText(diff->method) << '\n';
    io.out.flush();
}

} // namespace

int runCompare(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption align(QStringLiteral("align"), QStringLiteral("clock or elapsed."),
                                   QStringLiteral("HOW"), QStringLiteral("clock"));
    const QCommandLineOption unitOption(QStringLiteral("unit"), QStringLiteral("C or F."),
                                        QStringLiteral("U"));
    const QCommandLineOption differenceOption(QStringLiteral("difference"),
                                              QStringLiteral("The difference of the first two runs."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Picture (.png, .svg, .pdf) or wide CSV (.csv)."),
                                    QStringLiteral("OUT"));
    const QCommandLineOption low(QStringLiteral("low"), QStringLiteral("Lower limit."), QStringLiteral("L"));
    const QCommandLineOption high(QStringLiteral("high"), QStringLiteral("Upper limit."),
                                  QStringLiteral("H"));
    p.addOptions({align, unitOption, differenceOption, output, low, high, kArchive, kHome});
    if (!p.parse(QStringList{QStringLiteral("tq880-cli")} + args)) {
        io.err << p.errorText() << Qt::endl;
        return BadArguments;
    }
    const QStringList runTexts = p.positionalArguments();
    if (runTexts.isEmpty()) {
        io.err << "expected RUN ...: FILE.880:K, FILE.ghf|.txt|.csv or archive:ID" << Qt::endl;
        return BadArguments;
    }
    compare::Align how = compare::Align::Clock;
    if (p.value(align) == QLatin1String("elapsed"))
        how = compare::Align::Elapsed;
    else if (p.value(align) != QLatin1String("clock")) {
        io.err << "--align takes clock or elapsed" << Qt::endl;
        return BadArguments;
    }
    std::optional<TemperatureUnit> unit;
    if (p.isSet(unitOption)) {
        const QString u = p.value(unitOption).toUpper();
        if (u != QLatin1String("C") && u != QLatin1String("F")) {
            io.err << "--unit takes C or F" << Qt::endl;
            return BadArguments;
        }
        unit = u == QLatin1String("F") ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    }
    RunLimits limits;
    if (!numberOf(p, low, limits.low, io) || !numberOf(p, high, limits.high, io)) return BadArguments;
    chartexport::Format format = chartexport::Format::Png;
    const bool csv = p.isSet(output) && QFileInfo(p.value(output)).suffix().toLower() == QLatin1String("csv");
    if (p.isSet(output) && !csv && !chartexport::formatOf(p.value(output), format)) {
        io.err << "-o takes a .png, .svg, .pdf or .csv file" << Qt::endl;
        return BadArguments;
    }
    if (p.isSet(differenceOption) && runTexts.size() < 2) {
        io.err << "--difference needs two runs" << Qt::endl;
        return BadArguments;
    }

    // Every argument is checked before any file is read.
    std::vector<compare::RunArgument> parsed;
    for (const QString& s : runTexts) {
        compare::RunArgument run;
        QString error;
        if (!compare::parseRunArgument(s, run, error)) {
            io.err << error << Qt::endl;
            return BadArguments;
        }
        parsed.push_back(run);
    }
    std::vector<compare::Run> runs;
    std::unique_ptr<Archive> archive;
    for (const compare::RunArgument& argument : parsed) {
        QString error;
        if (argument.kind == compare::RunArgument::Kind::Archive) {
            if (!archive) archive = openArchive(p, io);
            if (!archive) return CannotRead;
            const Result<compare::Run> run = compare::archiveRun(*archive, argument.archiveId);
            if (!run.ok()) {
                io.err << run.outcome().text << Qt::endl;
                return NoData;
            }
            runs.push_back(*run);
        } else if (!compare::loadFileRuns(argument.file, argument.dataSet, runs, error)) {
            io.err << error << Qt::endl;
            return QFileInfo::exists(argument.file) ? NoData : CannotRead;
        }
    }
    if (!unit) unit = runs.front().unit;

    std::optional<compare::Difference> diff;
    if (p.isSet(differenceOption)) diff = compare::difference(runs[0], runs[1], how, *unit);
    printTable(runs, *unit, how, limits, diff ? &*diff : nullptr, io);
    if (!p.isSet(output)) return Ok;
    try {
        TfrmCompare window;
        window.addRuns(runs);
        window.setUnit(*unit);
        window.setAlign(how);
        window.setLimits(limits);
        if (diff) window.setDifference(true, 0, 1);
        if (const Outcome written = window.exportTo(p.value(output)); !written.ok()) {
            io.err << written.text << Qt::endl;
            return CannotRead;
        }
    } catch (const std::exception& e) {
        io.err << e.what() << Qt::endl;
        return CannotRead;
    }
    return Ok;
}

} // namespace tq::cli
