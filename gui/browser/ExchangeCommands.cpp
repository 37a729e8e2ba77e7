#include "gui/browser/ExchangeCommands.h"

#include "core/data/SpectrumDataSet.h"
#include "gui/dialogs/ExportDlg.h"
#include "gui/dialogs/ImportDlg.h"
#include "core/platform/StringIds.h"
#include "gui/common/Prompter.h"

void ExportSelection(QWidget* parent, const CSpectrumDataSet& data, const std::set<int>& selection,
                     const CSpectrumData* standard) {
    if (selection.empty()) {
        ShowMessage(parent, ids::kSelectAData, Prompter::Icon::Information);
        return;
    }
    CSpectrumDataSet records;
    records.CopySubset(data, selection);
    CExport dialog(records, standard, parent);
    Prompter::Current().RunModal(dialog);
}

bool ImportFiles(QWidget* parent, const std::function<bool()>& busy) {
    if (busy()) {
        ShowMessage(parent, ids::kImportDuringMeasurement, Prompter::Icon::Information);
        return false;
    }
    CImport dialog(parent);
    dialog.SetBusyCheck(busy);
    const int result = Prompter::Current().RunModal(dialog);
    // A file that failed after others went in still leaves the list behind the data folder.
    return result == QDialog::Accepted || dialog.ImportedAny();
}
