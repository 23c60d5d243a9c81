#include "app/about_dialog.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/logo.h"
#include "ui_about_dialog.h"

namespace tarvel::app {

const char* const kAboutText =
    "Tarvel takes an .ASE file from 3DStudio Max (any version) and converts it to .3DO.  To use, "
    "click the Pick ASE file button, then the BSP&Save as 3DO button.  Please see readme.txt for "
    "more information. ";

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
