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

ImageDocument::ImageDocument(const ConfigImage& start, const QString& saveFileName,
                             std::function<void()> showImage, QObject* parent)
    : QObject(parent), working(start), show(std::move(showImage)), unchanged(start),
      saveName(saveFileName) {
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
    const ConfigImage before = working;
    ++depth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth};
    action();
    if (working != before) {
        steps.push(new Step(*this, before, working, what));
    }
    if (cleanAfterEdit) {
        cleanAfterEdit = false;
        steps.setClean();
    }
    tellChangedState();
}

void ImageDocument::editField(const FieldRef& ref, const std::function<void()>& action) {
    const std::string caption = fieldCaption(ref);
    edit(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), action);
}

void ImageDocument::markUnchanged() {
    unchanged = working;
    // Inside an edit the mark belongs after the edit's own step.
    cleanAfterEdit = depth > 0;
    if (!cleanAfterEdit) {
        steps.setClean();
    }
    tellChangedState();
}

void ImageDocument::restore(const ConfigImage& bytes) {
    restoring = true;
    working = bytes;
    show();
    restoring = false;
}

void ImageDocument::tellChangedState() {
    if (isChanged() != toldChanged) {
        toldChanged = isChanged();
        emit changedStateChanged(toldChanged);
    }
}

void ImageDocument::setOriginFile(const QString& path) {
    fromFile = path;
    fromPager = false;
    emit fileOriginChanged();
}

void ImageDocument::setOriginPager() {
    fromFile.clear();
    fromPager = true;
    emit fileOriginChanged();
}

void ImageDocument::setSaveFileName(const QString& path) {
    saveName = path;
    emit fileOriginChanged();
}
