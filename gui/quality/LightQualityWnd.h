#pragma once
// The light quality frame: copy, save and print over one CLightQualityView; deletes itself when
// closed. ShowRecord takes the record the list's selection moves to.
#include <memory>
#include <string>

#include "gui/common/GraphFrame.h"

class CLightQualityView;
class CSpectrumData;
class QMenu;

class CLightQualityWnd : public CGraphFrame {
    Q_OBJECT

public:
    explicit CLightQualityWnd(const std::string& title);

    CLightQualityView* View() const { return view_; }
    QMenu* Menu() const { return menu_; }
    void RefreshCommands() override;

public slots:
    // null: no record (the selection is empty).
    void ShowRecord(std::shared_ptr<const CSpectrumData> record);

protected:
    void RunCommand(GraphCommand command) override;

private:
    CLightQualityView* view_;
    QMenu* menu_;
};
