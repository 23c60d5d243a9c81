#include "app/dialog_prompts.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "window/scene_filters.h"

namespace tarvel::app {

namespace {

std::optional<std::string> RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // The core opens files by their bytes on disk, not by display text.
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

// Qt reads the patterns from the parentheses of each name.
QString NameFilters(const std::vector<window::FileFilter>& filters) {
    QStringList names;
    for (const window::FileFilter& filter : filters) {
        names << QString::fromStdString(filter.name);
    }
    return names.join(";;");
}

}  // namespace

void ConfigureOpenDialog(QFileDialog& dialog) {
    dialog.setObjectName("OpenDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(NameFilters(window::OpenDialogFilters()));
    dialog.setSizeGripEnabled(true);
}

void ConfigureSaveDialog(QFileDialog& dialog) {
    dialog.setObjectName("SaveDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(NameFilters(window::SaveDialogFilters()));
    // A name typed without an extension is saved as typed.
    dialog.setDefaultSuffix(QString());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setSizeGripEnabled(true);
}

std::optional<std::string> DialogPrompts::ChooseAseFile() {
    return RunFileDialog(openDialog_);
}

std::optional<std::string> DialogPrompts::Choose3doFile() {
    return RunFileDialog(saveDialog_);
}

void DialogPrompts::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Information, "Tarvel", QString::fromStdString(text),
                    QMessageBox::Ok, &parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace tarvel::app
