#pragma once
// The data browser's "Export..." and "Import..." commands.
#include <functional>
#include <set>

class CSpectrumData;
class CSpectrumDataSet;
class QWidget;

// Exports copies of the selected rows with the current standard data (null: none) through the
// export dialog; an empty selection only says so.
void ExportSelection(QWidget* parent, const CSpectrumDataSet& data, const std::set<int>& selection,
                     const CSpectrumData* standard);

// Runs the import dialog, unless a measurement run is writing the daily files (busy says so). True
// when anything was imported, so the caller searches again.
bool ImportFiles(QWidget* parent, const std::function<bool()>& busy);
