#pragma once

#include <array>

class QLineEdit;

// What the Tone Table needs from the window that opens it: the targets of the
// three tone columns (0 TONE 1, 1 TONE 2, 2 group tone; each 0 or a call
// number), the tone edit of a column and call, and the commit that stores the
// edit's text as a typed tone of that column.
class ToneTableHost {
public:
    virtual ~ToneTableHost() = default;

    virtual std::array<int, 3>& toneTableTargets() = 0;
    // nullptr when the column has no such call.
    virtual QLineEdit* toneEdit(int column, int call) = 0;
    virtual void commitToneEdit(QLineEdit* edit, int column) = 0;

protected:
    ToneTableHost() = default;
    ToneTableHost(const ToneTableHost&) = default;
    ToneTableHost& operator=(const ToneTableHost&) = default;
};
