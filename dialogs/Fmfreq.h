#pragma once

#include "dialogs/ToneTableHost.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TForm2;
}

// The Tone Table: the tone group table as a grid of groups by digits. A pick
// is written into the tone edit of the set target and committed there like a
// typed tone. Created once; the grid keeps its current cell and column widths
// from one opening to the next.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(ToneTableHost& host, QWidget* parent = nullptr);
    ~TForm2() override;

    // Only tone cells can become the current cell; the header row and the
    // digit column cannot.
    static bool StringGrid1SelectCell(int column, int row);

    void StringGrid1DblClick();
    void btnEnterClick();
    void btnExitClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    bool StringGrid1KeyPress(int key);
    bool resizeColumns(QEvent* event);

    std::unique_ptr<Ui::TForm2> ui;
    ToneTableHost& host;
    int resizedColumn = -1;
    int resizeStartX = 0;
    int resizeStartWidth = 0;
};
