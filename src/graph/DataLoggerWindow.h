#pragma once

class QMdiArea;

namespace tq {

class TfrmGraph;

// Creates the DataLogger window in the main window's MDI area: data set
// and data lists shown, as high as the area allows, at the top left,
// as wide as the area when fullWidth (opening a collection file). Its graph
// is prepared for 500 points from now to 500 s later. Throws UserError when
// the graph template cannot be read or written.
TfrmGraph* createDataLoggerWindow(QMdiArea* area, int modelCode, bool fullWidth);

} // namespace tq
