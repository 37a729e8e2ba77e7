#pragma once
// "Data folder config": the data folder and the file name ID of the daily data files (GENERAL).
#include <QDialog>
#include <string>

class QLineEdit;

class CSetGeneral : public QDialog {
public:
    explicit CSetGeneral(QWidget* parent = nullptr);

    std::string FolderText() const;
    std::string FileNameIdText() const;

private:
    void OnRef();
    void OnOk();

    QLineEdit* folder_;  // 1008, read-only
    QLineEdit* fileId_;  // 1009
    std::string stored_;   // DATA_STORED_FOLDER as the file holds it
    QString shown_;        // the same folder as this system writes it
};
