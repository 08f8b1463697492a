#pragma once

#include "model/ConfigImage.h"
#include "model/VersionTag.h"
#include "rules/FieldRegistry.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

// The window's working image as a document: the image with the version tag
// Write stores, where it came from and where Save writes it. Every stored
// change is an undo step (the bytes before and after), and the image is
// changed while edits have left it different from what was last opened,
// saved, read or written (typing a value and then the old one again is no
// change).
class ImageDocument : public QObject {
    Q_OBJECT

public:
    // show puts the image into the controls as the display pass does.
    ImageDocument(const ConfigImage& start, const QString& saveFileName,
                  std::function<void()> show, QObject* parent = nullptr);
    ~ImageDocument() override;
    ImageDocument(const ImageDocument&) = delete;
    ImageDocument& operator=(const ImageDocument&) = delete;

    ConfigImage& image() { return working; }
    const ConfigImage& image() const { return working; }
    VersionTag& versionTag() { return tag; }
    QUndoStack& undoStack() { return steps; }

    // Runs an edit; the change it leaves in the image, if any, becomes one
    // step named what. Edits inside an edit belong to the outer one.
    void edit(const QString& what, const std::function<void()>& action);
    // A user's edit of one value, named by its caption.
    void editField(const FieldRef& ref, const std::function<void()>& action);
    // The image now equals what a file or the pager holds.
    void markUnchanged();
    bool isChanged() const { return !steps.isClean() && working != unchanged; }

    // The table file opened last (empty when none), or the pager.
    const QString& originFile() const { return fromFile; }
    bool cameFromPager() const { return fromPager; }
    void setOriginFile(const QString& path);
    void setOriginPager();
    // Where Save writes.
    const QString& saveFileName() const { return saveName; }
    void setSaveFileName(const QString& path);

signals:
    void changedStateChanged(bool changed);
    // The origin or the save file changed.
    void fileOriginChanged();

private:
    class Step;
    void restore(const ConfigImage& bytes);
    void tellChangedState();

    ConfigImage working;
    VersionTag tag{};
    std::function<void()> show;
    ConfigImage unchanged;
    QUndoStack steps;
    QString fromFile;
    bool fromPager = false;
    QString saveName;
    int depth = 0;
    bool restoring = false;
    bool cleanAfterEdit = false;
    bool toldChanged = false;
};
