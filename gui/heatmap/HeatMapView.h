#pragma once
// The heat map view: shows the picture of CHeatMapPicture with the read-out of wavelength, time and
// value under the mouse (painted over it, never part of what is copied, saved or printed), and runs
// the commands of its frame.
#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>

#include "render/GraphCommand.h"
#include "render/HeatMapPicture.h"

class CHeatMapView : public QWidget {
public:
    explicit CHeatMapView(QWidget* parent = nullptr);

    void SetData(const CSpectrumDataSet& records, const CSpectrumData* standard);
    CHeatMapPicture& Picture() { return picture_; }
    const CHeatMapPicture& Picture() const { return picture_; }
    bool Execute(GraphCommand command);
    bool Enabled(GraphCommand command) const;
    bool Checked(GraphCommand command) const;
    // The wavelength range and irradiance or ratio, in a small dialog.
    void Configure();
    void CopyToClipboard();
    void SavePicture();
    void Print();
    void Render();
    // Where the read-out stands, if anywhere.
    const std::optional<QPoint>& Cursor() const { return cursor_; }

    std::function<void()> onStateChanged;
    std::function<void(const QPoint&)> onContextMenu;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CHeatMapPicture picture_;
    std::optional<QPoint> cursor_;
};
