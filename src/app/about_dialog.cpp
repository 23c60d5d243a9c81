#include "app/about_dialog.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/logo.h"
#include "ui_about_dialog.h"
#include "window/about_text.h"

namespace tarvel::app {

const char* const kAboutText = window::kAboutText;

TOKRightDlg::TOKRightDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TOKRightDlg>()) {
    ui_->setupUi(this);
    if (parent != nullptr) {
        setFont(parent->font());
    }
    setFixedSize(408, 233);
    ui_->Image1->setPixmap(DrawLogo());
    ui_->Label1->setText(QString::fromUtf8(kAboutText));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TOKRightDlg::~TOKRightDlg() = default;

}  // namespace tarvel::app
