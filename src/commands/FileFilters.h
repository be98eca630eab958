#pragma once

#include <QString>

namespace tq {

// The file dialog filters and choice captions of the open and save
// commands; CSV is left out where the regional decimal separator is a comma.
namespace filters {
QString singleFile();        // .ghf, .txt and (point separator) .csv
QString collectionSave();    // "Data Set Collection file(...)|*.880"
QString collectionOpen();    // "Data Sets Collection (*.880)|*.880"
QString openSingleCaption(); // the choice window's second button when opening
bool csvOffered();
// Entries of our own, offered after the described ones.
QString isoCsv();   // the self-describing CSV, in any regional setting
QString pictures(); // Export Graph: PNG, SVG, PDF
QString report();   // Report: PDF
} // namespace filters

} // namespace tq
