#pragma once
// The frame of a thumbnail window: a plain top-level window holding one view, with a minimise box
// but no maximise box and no close item, so the user cannot close it; the program closes it when
// it ends (AllowClose, then close()).
#include <QPointer>
#include <QWidget>

#include "gui/common/ModalBracket.h"

class CThumbnailFrame : public QWidget, public CModalReporter {
    Q_OBJECT

public:
    explicit CThumbnailFrame(const QString& title);

    // Makes view the frame's only pane (the frame takes ownership); null leaves the frame empty.
    void SetView(QWidget* view);
    QWidget* View() const { return view_; }

    void AllowClose() { closeAllowed_ = true; }
    void ReportModal(bool open) override;

signals:
    // The view shows a message box, and has closed it again.
    void modalOpened();
    void modalClosed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QWidget> view_;
    bool closeAllowed_ = false;
};
