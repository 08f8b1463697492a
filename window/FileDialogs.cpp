#include "window/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {

std::optional<QString> runDialog(QWidget* parent, const FileDialogSetup& setup,
                                 QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, QString(), setup.directory, setup.filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(setup.defaultSuffix);
    if (!setup.fileName.isEmpty()) {
        dialog.selectFile(setup.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

} // namespace

std::optional<QString> QtFileDialogs::openFileName(const FileDialogSetup& setup) {
    return runDialog(parent, setup, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::saveFileName(const FileDialogSetup& setup) {
    // The save dialog asks before replacing an existing file.
    return runDialog(parent, setup, QFileDialog::AcceptSave);
}
