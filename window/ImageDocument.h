#pragma once

#include "model/ConfigImage.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

// The window's working image as a document: every stored change is an undo
// step (the bytes before and after), and the image is changed while it
// differs from what was last opened, saved, read or written.
class ImageDocument : public QObject {
    Q_OBJECT

public:
    // show puts the image into the controls as the display pass does.
    ImageDocument(ConfigImage& image, std::function<void()> show, QObject* parent = nullptr);

    QUndoStack& undoStack() { return steps; }

    // Runs an edit; the change it leaves in the image, if any, becomes one
    // step named what. Edits inside an edit belong to the outer one.
    void edit(const QString& what, const std::function<void()>& action);
    // The image now equals what a file or the pager holds.
    void markUnchanged();
    bool isChanged() const { return image != unchanged; }

signals:
    void changedStateChanged(bool changed);

private:
    class Step;
    void restore(const ConfigImage& bytes);
    void tellChangedState();

    ConfigImage& image;
    std::function<void()> show;
    ConfigImage unchanged;
    QUndoStack steps;
    int depth = 0;
    bool restoring = false;
    bool toldChanged = false;
};
