#pragma once

class QMdiArea;
class QMdiSubWindow;

namespace tq {

class TfrmGraph;
struct LoggerModel;

// Creates the DataLogger window in the main window's MDI area: data set
// and data lists shown, as high as the area allows, at the top left,
// as wide as the area when fullWidth (opening a collection file). Its graph
// is prepared for 500 points from now to 500 s later. Throws UserError when
// the graph template cannot be read or written.
TfrmGraph* createDataLoggerWindow(QMdiArea* area, const LoggerModel& model, bool fullWidth);
// Restores the DataLogger window to its normal state, or creates it.
void restoreOrCreateDataLoggerWindow(QMdiArea* area, const LoggerModel& model, bool fullWidth);

// Puts a graph window into the area at its top left, as high as the area
// allows less 50 pixels, as wide as the area when fullWidth, never wider
// than the area nor smaller than it needs (the area scrolls); deleted when
// closed.
QMdiSubWindow* addGraphWindow(QMdiArea* area, TfrmGraph* window, bool fullWidth);

} // namespace tq
