#include "ui/AlertPopup.h"

#include <QScreen>
#include <QVBoxLayout>

namespace orvalis {

AlertPopup::AlertPopup(QWidget* anchor)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      anchor_(anchor) {
  setObjectName("NxAW_radioligado");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setStyleSheet("QWidget#NxAW_radioligado { background: #fff8d0; border: 1px solid #b08000; }");
  caption_ = new QLabel(this);
  caption_->setStyleSheet("font-weight: bold;");
  text_ = new QLabel(this);
  auto* v = new QVBoxLayout(this);
  v->addWidget(caption_);
  v->addWidget(text_);
  close_.setSingleShot(true);
  close_.setInterval(kLifetimeMs);
  connect(&close_, &QTimer::timeout, this, &QWidget::hide);
}

void AlertPopup::popUp(const QString& caption, const QString& text) {
  caption_->setText(caption);
  text_->setText(text);
  adjustSize();
  // Bottom right corner of the main window.
  if (anchor_) {
    const QRect r = anchor_->frameGeometry();
    move(r.right() - width() - 16, r.bottom() - height() - 40);
  }
  show();
  close_.start();
}

}  // namespace orvalis
