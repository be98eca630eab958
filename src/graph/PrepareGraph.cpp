#include "PrepareGraph.h"

#include "AppPaths.h"
#include "Chart.h"
#include "CommandGuard.h"
#include "GraphFile.h"
#include "LoggerModel.h"

#include <QDir>
#include <QFileInfo>

namespace tq {

namespace {

// Series labels and axes that depend on the logger model.
void applySeriesLayout(Chart& chart, int n, const LoggerModel& model) {
    if (model.seriesCount == 2) {
        chart.setSubsetLabel(0, QStringLiteral("Humidity"));
        chart.setSubsetLabel(1, QStringLiteral("Temperature"));
        chart.setMultiAxesSeparators(true);
        chart.setMultiAxesSubsets({1, 1});
        // Two equal stacked axes (the chart takes the shares relative to their sum).
        chart.setMultiAxesProportions({0.25, 0.25});
        for (int axis = 0; axis < n; ++axis) {
            chart.setWorkingAxis(axis);
            chart.setYAxisLabel(QString());
            chart.setManualY(-30.0, 100.0);
        }
    } else {
        chart.setSubsetLabel(0, QStringLiteral("Temperature"));
    }
    chart.setYAxisLabel(QString());
}

// Undoes what a template made for the other model brought along.
void applySingleAxis(Chart& chart) {
    chart.setMultiAxesSubsets({});
    chart.setMultiAxesProportions({1.0});
    chart.setWorkingAxis(0);
    chart.setAutoY();
}

void applyDefaultStyle(Chart& chart, int n, const LoggerModel& model) {
    chart.setPlottingMethod(Chart::PlottingMethod::Spline);
    chart.setShowGraphAnnotations(true);
    chart.setGraphAnnotationTextSize(100);
    chart.setGridStyle(Chart::GridStyle::Dot);
    chart.setMainTitle(QString());
    chart.setSubTitle(QStringLiteral(" "));
    for (int s = 0; s < 2 && s < n; ++s)
        chart.setSubsetLineType(s, 9);
    chart.setXAxisLabel(QStringLiteral("Time"));
    chart.setZooming(Chart::Zooming::HorzPlusVert);
    chart.setSubsetColor(0, QColor(255, 0, 0));
    if (n > 1) chart.setSubsetColor(1, QColor(255, 255, 0));
    chart.setArrowCursor(Chart::ArrowNormal);
    applySeriesLayout(chart, n, model);
}

QString shownFolder(const QString& folder) {
    return QDir::toNativeSeparators(folder);
}
} // namespace

void saveGraphTemplate(const Chart& chart) {
    const QString folder = AppPaths::templateFolder();
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder))
        throw UserError(QStringLiteral("Cannot create ") + shownFolder(folder) +
                        QStringLiteral(" directory."));
    // Every preparation resets the points, so the template keeps the chart
    // without them: small and quick to write and to load.
    // The template is written in the middle of preparing a window; its
    // failure unwinds to the slot's guard, which shows it.
    if (const Outcome written = writeGraphFile(AppPaths::templateFile(), chart.storeStyle()); !written.ok())
        throw UserError(written.text);
}

void prepareChart(Chart& chart, int n, int p, double xMin, double xMax, const LoggerModel& model,
                  TemplateUse use) {
    const QString templateFile = AppPaths::templateFile();
    const bool fromTemplate = QFileInfo::exists(templateFile);
    int templateSeries = n;
    if (fromTemplate) {
        // A template that cannot be read stops every window's preparation.
        if (const Outcome loaded = LoadGraphFile(chart, templateFile); !loaded.ok())
            throw UserError(loaded.text);
        templateSeries = chart.subsets();
    }

    chart.setNullValueY(Chart::kNullY);
    chart.setSubsets(n);
    chart.setPoints(p);
    chart.resetPoints();
    if (xMin != 0.0) chart.setManualX(xMin, xMax);
    if (!fromTemplate) {
        applyDefaultStyle(chart, n, model);
    } else if (templateSeries != n) {
        // The template was made for the other logger model: keep its style
        // but give the series their own labels and axes.
        if (model.seriesCount == 1) applySingleAxis(chart);
        if (n > 1 && templateSeries < 2) {
            chart.setSubsetColor(1, QColor(255, 255, 0));
            chart.setSubsetLineType(1, 9);
        }
        applySeriesLayout(chart, n, model);
    }

    chart.setShowVertLineAnnotations(true);
    chart.setAllowVertLineAnnotHotSpots(true);
    chart.setLineAnnotationTextSize(80);
    chart.setVertLineColor(1, QColor(0, 0, 255));
    chart.setVertLineType(1, Chart::LineCursor);
    chart.setVertLineText(1, QStringLiteral("A"));
    chart.setVertLineColor(2, QColor(0, 255, 0));
    chart.setVertLineType(2, Chart::LineCursor);
    chart.setVertLineText(2, QStringLiteral("B"));
    chart.setLineAnnotationTextSize(100);
    chart.setVertLine(1, xMin + (xMax - xMin) / 3);
    chart.setVertLine(2, xMin + 2 * (xMax - xMin) / 3);
    chart.setAllowDataHotSpots(true);
    chart.redraw();

    if (use == TemplateUse::ReadAndWrite && !QFileInfo::exists(templateFile)) saveGraphTemplate(chart);
}

} // namespace tq
