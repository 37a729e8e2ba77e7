#pragma once
// "Export": writes the records handed over (the data browser's selection) to a CSV file, with the
// settings of the EXPORT section. The section is loaded when the dialog is made and stored when
// "Export" is pressed, before the file is written, so the choices survive a failed export.
#include <QDialog>
#include <string>

#include "core/config/ExportPrm.h"

class CSpectrumData;
class CSpectrumDataSet;
class QButtonGroup;
class QLineEdit;
class QRadioButton;

class CExport : public QDialog {
public:
    static constexpr double kLowest = 350;
    static constexpr double kHighest = 1050;
    // EXPORT_TYPE: 0 spectral, 1 calculation, 2 ratio, 3 difference, 4 light quality.
    static constexpr int kTypeLightQuality = 4;
    static constexpr int kTypeCount = 5;

    // data and standard (null: none) must outlive the dialog.
    CExport(const CSpectrumDataSet& data, const CSpectrumData* standard, QWidget* parent = nullptr);

    // "Ref": the save dialog; true when a name was chosen.
    bool ChooseFile();
    // "Export": validates, stores the settings, writes the file; true when the file was written.
    bool DoExport();

    std::string FileName() const;
    // The name with ".csv" appended unless its extension is exactly "csv".
    static std::string WithCsvExtension(const std::string& path);

private:
    void ShowSettings();
    void ApplyEnabling();
    bool ReadBack(CExportPrm& prm);
    void ReportFailure(const std::string& reason);

    const CSpectrumDataSet& data_;
    const CSpectrumData* standard_;
    CExportPrm prm_;

    QButtonGroup* type_ = nullptr;
    QButtonGroup* unit_ = nullptr;
    QButtonGroup* step_ = nullptr;
    QLineEdit* min_ = nullptr;
    QLineEdit* max_ = nullptr;
    QLineEdit* file_ = nullptr;
    QLineEdit* minIntegration_ = nullptr;
    QLineEdit* maxIntegration_ = nullptr;
};
