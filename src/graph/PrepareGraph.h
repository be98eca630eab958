#pragma once

namespace tq {

class Chart;
struct LoggerModel;

// Readies a chart for n series of p points: from the graph template when
// there is one, otherwise in the default style (which then becomes the
// template). Every point starts at X 0 and the null Y; the X range is set
// to xMin ... xMax unless xMin is 0; the cursor lines A and B stand at one
// and two thirds of that range. A model with two series gives the two
// stacked axes of a humidity logger in the default style.
// Throws UserError when the template cannot be read, or when its folder
// cannot be made (the chart is prepared by then; no template is written).
// A picture drawn without a window (tq880-cli) reads the template but
// leaves writing it to the program.
enum class TemplateUse { ReadAndWrite, ReadOnly };
void prepareChart(Chart& chart, int n, int p, double xMin, double xMax, const LoggerModel& model,
                  TemplateUse use = TemplateUse::ReadAndWrite);

// Saves the chart, without its points, as the graph template, making its
// folder when needed.
// Throws UserError ("Cannot create <folder> directory.").
void saveGraphTemplate(const Chart& chart);

} // namespace tq
