#pragma once
// The light quality view: shows the picture of CLightQualityPicture at the widget's size.
#include <QWidget>
#include <functional>
#include <memory>

#include "render/LightQualityPicture.h"

class CLightQualityView : public QWidget {
public:
    explicit CLightQualityView(QWidget* parent = nullptr);

    void ShowRecord(std::shared_ptr<const CSpectrumData> record);
    const CLightQualityPicture& Picture() const { return picture_; }
    void CopyToClipboard();
    void SavePicture();
    void Print();
    void Render();

    std::function<void(const QPoint&)> onContextMenu;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CLightQualityPicture picture_;
};
