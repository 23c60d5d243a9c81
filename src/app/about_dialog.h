#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TOKRightDlg;
}

namespace tarvel::app {

// The About box: logo, a few words on what the program does, OK.
class TOKRightDlg final : public QDialog {
    Q_OBJECT

  public:
    explicit TOKRightDlg(QWidget* parent);
    ~TOKRightDlg() override;

  private:
    std::unique_ptr<Ui::TOKRightDlg> ui_;
};

// Label1's text as it shows (the caption's "&&" is one ampersand on screen).
extern const char* const kAboutText;

}  // namespace tarvel::app
