#pragma once

#include <QString>

#include <optional>

class QWidget;

struct FileDialogSetup {
    QString directory;
    QString filter;        // "Description (*.ext)"
    QString defaultSuffix; // without the dot
    QString fileName;      // proposed name, may be empty
};

// The open and save dialogs of the table files; tests script the answers.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen existing file, or nothing when cancelled.
    virtual std::optional<QString> openFileName(const FileDialogSetup& setup) = 0;
    // The chosen file (replacing an existing one was confirmed), or nothing.
    virtual std::optional<QString> saveFileName(const FileDialogSetup& setup) = 0;
};

class QtFileDialogs final : public FileDialogs {
public:
    void setParentWindow(QWidget* window) { parent = window; }
    std::optional<QString> openFileName(const FileDialogSetup& setup) override;
    std::optional<QString> saveFileName(const FileDialogSetup& setup) override;

private:
    QWidget* parent = nullptr;
};
