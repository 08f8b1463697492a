#include "window/ImageDocument.h"

#include <QUndoCommand>

// The bytes before and after one change. Pushing a step runs its redo at
// once; the change has happened by then, so the first redo does nothing.
class ImageDocument::Step : public QUndoCommand {
public:
    Step(ImageDocument& document, const ConfigImage& before, const ConfigImage& after,
         const QString& what)
        : QUndoCommand(what), document(document), before(before), after(after) {}

    void undo() override { document.restore(before); }
    void redo() override {
        if (pushed) {
            document.restore(after);
        }
        pushed = true;
    }

private:
    ImageDocument& document;
    ConfigImage before;
    ConfigImage after;
    bool pushed = false;
};

ImageDocument::ImageDocument(ConfigImage& workingImage, std::function<void()> showImage,
                             QObject* parent)
    : QObject(parent), image(workingImage), show(std::move(showImage)), unchanged(workingImage) {
    // An undo or redo moves the index after restoring the bytes.
    connect(&steps, &QUndoStack::indexChanged, this, [this] { tellChangedState(); });
}

// The window goes away with its document: the steps cleared now tell nobody.
ImageDocument::~ImageDocument() {
    steps.blockSignals(true);
    blockSignals(true);
}

void ImageDocument::edit(const QString& what, const std::function<void()>& action) {
    if (depth > 0 || restoring) {
        action();
        return;
    }
    const ConfigImage before = image;
    ++depth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth};
    action();
    if (image != before) {
        steps.push(new Step(*this, before, image, what));
    }
    if (cleanAfterEdit) {
        cleanAfterEdit = false;
        steps.setClean();
    }
    tellChangedState();
}

void ImageDocument::markUnchanged() {
    unchanged = image;
    // Inside an edit the mark belongs after the edit's own step.
    cleanAfterEdit = depth > 0;
    if (!cleanAfterEdit) {
        steps.setClean();
    }
    tellChangedState();
}

void ImageDocument::restore(const ConfigImage& bytes) {
    restoring = true;
    image = bytes;
    show();
    restoring = false;
}

void ImageDocument::tellChangedState() {
    if (isChanged() != toldChanged) {
        toldChanged = isChanged();
        emit changedStateChanged(toldChanged);
    }
}
