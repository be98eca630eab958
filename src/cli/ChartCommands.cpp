// tq880-cli plot and report: pictures and recording reports of a data set,
// drawn with the graph windows' chart (a widget: these two commands run
// under a QApplication on the offscreen platform).

#include "Chart.h"
#include "ChartExport.h"
#include "Cli.h"
#include "CliSupport.h"
#include "CommandGuard.h"
#include "DataSetChart.h"
#include "DataSetCollection.h"
#include "LoggerModel.h"
#include "Outcome.h"
#include "RecordingReport.h"
#include "Regional.h"

#include <QFileInfo>

#include <cmath>
#include <optional>

namespace tq::cli {

namespace {

const QCommandLineOption kSet(QStringLiteral("set"), QStringLiteral("Data set, from 1."),
                              QStringLiteral("K"));
const QCommandLineOption kOutput(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                 QStringLiteral("File to write."), QStringLiteral("OUT"));
const QCommandLineOption kModel(QStringLiteral("model"),
                                QStringLiteral("Logger model that recorded it: 860 or 862."),
                                QStringLiteral("CODE"));

// --model: none when not given; another value than a model's code is refused.
Result<std::optional<LoggerModel>> modelOf(const QCommandLineParser& p) {
    if (!p.isSet(kModel)) return std::optional<LoggerModel>();
    const QString v = p.value(kModel);
    if (v == QLatin1String("860") || v == QLatin1String("862")) return findLoggerModel(v.toInt());
    return Outcome::fail(Outcome::Code::BadInput, QStringLiteral("--model takes 860 or 862"));
}

// The data set's chart as the DataLogger window draws it, without its cursor
// lines; the 860's graph when the model was not given.
void dataSetChart(Chart& chart, const DataSetCollection& collection, int k,
                  const std::optional<LoggerModel>& model) {
    prepareDataSetChart(chart, collection.dataSet(k), collection.slice(k), model.value_or(kModel860),
                        TemplateUse::ReadOnly);
    chart.setShowVertLineAnnotations(false);
    chart.redraw();
}

int failed(const std::exception& e, Io& io) {
    io.err << e.what() << Qt::endl;
    return CannotRead;
}

} // namespace

int runPlot(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Picture size in pixels, e.g. 1200x700."),
                                  QStringLiteral("WxH"));
    p.addOptions({kSet, kOutput, size, kModel, kIntact});
    if (!parse(p, args, io, 1)) return BadArguments;
    const int k = dataSetNumber(p, kSet, io);
    if (k == 0) return BadArguments;
    chartexport::Format format = chartexport::Format::Png;
    if (!p.isSet(kOutput) || !chartexport::formatOf(p.value(kOutput), format)) {
        io.err << "-o takes the picture to write: a .png, .svg or .pdf file" << Qt::endl;
        return BadArguments;
    }
    QSize pixels = chartexport::kDefaultSize;
    if (p.isSet(size) && !chartexport::parseSize(p.value(size), pixels)) {
        io.err << "--size takes WxH, each from " << chartexport::kMinSide << " to " << chartexport::kMaxSide
               << " pixels" << Qt::endl;
        return BadArguments;
    }
    const Result<std::optional<LoggerModel>> model = modelOf(p);
    if (!model.ok()) {
        io.err << model.outcome().text << Qt::endl;
        return BadArguments;
    }

    DataSetCollection collection;
    if (const int status = loadCollection(p.positionalArguments().first(), p.isSet(kIntact), collection, io))
        return status;
    if (!dataSetExists(k, collection.count(), io)) return BadArguments;
    if (!dataSetHasSamples(collection, k, io)) return NoData;
    try {
        Chart chart;
        dataSetChart(chart, collection, k - 1, *model);
        if (const Outcome written = chartexport::write(chart, p.value(kOutput), format, pixels);
            !written.ok()) {
            io.err << written.text << Qt::endl;
            return CannotRead;
        }
    } catch (const std::exception& e) {
        return failed(e, io);
    }
    return Ok;
}

int runReport(const QStringList& args, Io& io) {
    QCommandLineParser p;
    const QCommandLineOption low(QStringLiteral("low"), QStringLiteral("Lower limit."), QStringLiteral("L"));
    const QCommandLineOption high(QStringLiteral("high"), QStringLiteral("Upper limit."),
                                  QStringLiteral("H"));
    const QCommandLineOption noTable(QStringLiteral("no-table"),
                                     QStringLiteral("Leave out the sample table."));
    const QCommandLineOption noGraph(QStringLiteral("no-graph"), QStringLiteral("Leave out the graph."));
    const QCommandLineOption energy(QStringLiteral("activation-energy"),
                                    QStringLiteral("For the mean kinetic temperature, kJ/mol (83.144)."),
                                    QStringLiteral("KJ"));
    const QCommandLineOption locale(QStringLiteral("locale"),
                                    QStringLiteral("Regional formats and paper, e.g. de_DE."),
                                    QStringLiteral("NAME"));
    p.addOptions({kSet, low, high, noTable, noGraph, energy, locale, kModel, kOutput, kIntact});
    if (!parse(p, args, io, 1)) return BadArguments;
    const int k = dataSetNumber(p, kSet, io);
    if (k == 0) return BadArguments;
    if (!p.isSet(kOutput) || QFileInfo(p.value(kOutput)).suffix().toLower() != QLatin1String("pdf")) {
        io.err << "-o takes the report to write: a .pdf file" << Qt::endl;
        return BadArguments;
    }
    report::Options options;
    std::optional<double> kj;
    if (!numberOf(p, low, options.limits.low, io) || !numberOf(p, high, options.limits.high, io) ||
        !numberOf(p, energy, kj, io) || !localeOf(p, locale, options.locale, io))
        return BadArguments;
    if (kj) options.activationEnergyKJ = *kj;
    options.table = !p.isSet(noTable);
    options.graph = !p.isSet(noGraph);
    options.createdText = QStringLiteral("made ") + RegionalFormats(options.locale).dateTime(nowDays());
    if (const QString problem = report::checkOptions(options); !problem.isEmpty()) {
        io.err << problem << Qt::endl;
        return BadArguments;
    }
    const Result<std::optional<LoggerModel>> model = modelOf(p);
    if (!model.ok()) {
        io.err << model.outcome().text << Qt::endl;
        return BadArguments;
    }

    DataSetCollection collection;
    const QString fileName = p.positionalArguments().first();
    if (const int status = loadCollection(fileName, p.isSet(kIntact), collection, io)) return status;
    if (!dataSetExists(k, collection.count(), io)) return BadArguments;
    if (!dataSetHasSamples(collection, k, io)) return NoData;
    const DataSet& set = collection.dataSet(k - 1);
    const SampleSlice slice = collection.slice(k - 1);
    report::Run run;
    run.source = fileName;
    run.dataSet = k;
    run.model = *model;
    run.unit = set.fahrenheit() ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    run.intervalSeconds = set.intervalSeconds;
    run.times = slice.times.copy(slice.count);
    run.values.assign(slice.values, slice.values + slice.count);
    try {
        Chart chart;
        if (options.graph) {
            dataSetChart(chart, collection, k - 1, *model);
            report::prepareChart(chart, options.limits);
        }
        const Result<int> written =
            report::write(p.value(kOutput), run, options, options.graph ? &chart : nullptr);
        if (!written.ok()) {
            io.err << written.outcome().text << Qt::endl;
            return CannotRead;
        }
        const int pages = *written;
        io.out << p.value(kOutput) << ": " << pages << (pages == 1 ? " page" : " pages") << Qt::endl;
    } catch (const std::exception& e) {
        return failed(e, io);
    }
    return Ok;
}

} // namespace tq::cli
