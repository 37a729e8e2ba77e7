#pragma once
// "Standard data thumbnail": the current standard data as one small graph over the whole window,
// white while there is none. The main dialog has it drawn anew whenever the standard data panel
// changes.
#include <QImage>
#include <QWidget>

class CBaseDataSet;

class CBaseDataThumbnailView : public QWidget {
    Q_OBJECT

public:
    explicit CBaseDataThumbnailView(QWidget* parent = nullptr);

    void Attach(CBaseDataSet& standard);
    // Draws the back buffer anew and repaints.
    void Render();
    const QImage& BackBuffer() const { return back_; }

signals:
    // The standard data pop-up at a global position.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CBaseDataSet* standard_ = nullptr;
    QImage back_;
};
