#include "gui/browser/ThumbnailFrame.h"

#include <QCloseEvent>
#include <QVBoxLayout>

CThumbnailFrame::CThumbnailFrame(const QString& title)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint) {
    setWindowTitle(title);
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void CThumbnailFrame::SetView(QWidget* view) {
    if (view_) delete view_.data();
    view_ = view;
    if (view) {
        view->setParent(this);
        layout()->addWidget(view);
        view->show();
    }
}

void CThumbnailFrame::ReportModal(bool open) {
    if (open) emit modalOpened();
    else emit modalClosed();
}

void CThumbnailFrame::closeEvent(QCloseEvent* event) {
    if (closeAllowed_) event->accept();
    else event->ignore();
}
