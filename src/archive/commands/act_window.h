#pragma once

#include <QtGlobal>

namespace qm {

struct ArchivedActTexts;
struct RecalledAct;

// The main window as the archive commands reach it: they hand it values, and it
// alone knows which control shows what.
class ActWindow {
public:
    // "Записей: N" in the status bar.
    virtual void showRecordCount(qint64 count) = 0;

    // A deleted act's five text fields, written into their boxes.
    virtual void showArchivedTexts(const ArchivedActTexts &texts) = 0;

    // A recalled act, written into the form; the inspectorate field is left alone.
    virtual void showRecalledAct(const RecalledAct &act) = 0;

protected:
    ~ActWindow() = default;
};

}  // namespace qm
