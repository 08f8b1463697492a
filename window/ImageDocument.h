#pragma once

#include "model/ConfigImage.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

// The window's working image as a document: every stored change is an undo
// step (the bytes before and after), and the image is changed while edits
// have left it different from what was last opened, saved, read or written
// (typing a value and then the old one again is no change).
class ImageDocument : public QObject {
    Q_OBJECT

public:
    // show puts the image into the controls as the display pass does.
    ImageDocument(ConfigImage& image, std::function<void()> show, QObject* parent = nullptr);
    ~ImageDocument() override;
    ImageDocument(const ImageDocument&) = delete;
    ImageDocument& operator=(const ImageDocument&) = delete;

    QUndoStack& undoStack() { return steps; }

    // Runs an edit; the change it leaves in the image, if any, becomes one
    // step named what. Edits inside an edit belong to the outer one.
    void edit(const QString& what, const std::function<void()>& action);
    // The image now equals what a file or the pager holds.
    void markUnchanged();
    bool isChanged() const { return !steps.isClean() && image != unchanged; }

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
    bool cleanAfterEdit = false;
    bool toldChanged = false;
};
