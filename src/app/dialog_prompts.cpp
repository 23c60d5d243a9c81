#include "app/dialog_prompts.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "import/scene_formats.h"

namespace tarvel::app {

namespace {

std::optional<std::string> RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // The core opens files by their bytes on disk, not by display text.
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

// ASE first, as it always was; then every format the importer reads.
QString SceneFilters() {
    QStringList patterns{"*.ase"};
    for (const std::string& ext : import::HelperExtensions()) {
        patterns << QString::fromStdString("*." + ext);
    }
    return "ASCII Scene Export (*.ase);;All scenes (" + patterns.join(' ') + ");;All Files (*.*)";
}

}  // namespace

void ConfigureOpenDialog(QFileDialog& dialog) {
    dialog.setObjectName("OpenDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(SceneFilters());
    dialog.setSizeGripEnabled(true);
}

void ConfigureSaveDialog(QFileDialog& dialog) {
    dialog.setObjectName("SaveDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter("3DO object file (*.3do);;All files (*.*)");
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
