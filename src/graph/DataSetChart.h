#pragma once

#include "PrepareGraph.h"

namespace tq {

class Chart;
struct DataSet;
struct SampleSlice;

// A chart holding one data set as the DataLogger window graphs it: the
// logger model's series, the X range from the start to one interval past
// the last sample, the samples on series 0, marks drawn as gaps.
// Throws UserError as prepareChart does.
void prepareDataSetChart(Chart& chart, const DataSet& set, const SampleSlice& slice, const LoggerModel& model,
                         TemplateUse use = TemplateUse::ReadAndWrite);

} // namespace tq
