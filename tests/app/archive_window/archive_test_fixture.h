#pragma once

#include "app/archive_window/form2.h"
#include "archive/archive_table.h"
#include "archive/archived_acts.h"
#include "archive/dbf_archive.h"
#include "support/scripted_prompts.h"
#include "support/temp_program_folder.h"

#include <QAbstractItemView>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace qm::test {

// One archived act by field name; a missing field or a null QVariant is stored blank.
using ArchiveRow = QHash<QString, QVariant>;

// A complete act whose every field carries n, so records are told apart.
ArchiveRow sampleRow(int n);

inline ArchiveRow withField(ArchiveRow row, QStringView field, const QVariant &value)
{
    row.insert(field.toString(), value);
    return row;
}

// The main window as the archive commands reach it, keeping what they hand it.
class RecordingActWindow final : public ActWindow {
public:
    void showRecordCount(qint64 count) override { counts.append(count); }
    void showArchivedTexts(const ArchivedActTexts &shown) override { texts = shown; }
    void showRecalledAct(const RecalledAct &act) override { recalled = act; }

    // The last count shown, -1 when none was.
    qint64 lastCount() const { return counts.isEmpty() ? -1 : counts.constLast(); }

    QList<qint64> counts;
    std::optional<ArchivedActTexts> texts;
    std::optional<RecalledAct> recalled;
};

// The five texts of a row as a deletion or a recall hands them over.
ArchivedActTexts rowTexts(const ArchiveRow &row);

// A program folder with a settings file, an empty QM.dbf, the main window as
// the commands see it and scripted prompts: everything the archive window
// works on.
class ArchiveWorld {
public:
    ArchiveWorld();

    void append(const ArchiveRow &row);
    void append(const QList<ArchiveRow> &rows);
    // Every record's ArchiveField value in natural order, read through a fresh open.
    QList<QVariant> column(QStringView field);
    int recordCount();
    QStringList listLines();  // what the list should show for the table now

    // Replaces QM.dbf by an empty archive with the usual columns in the code
    // page of this language driver; with dateColumn, ACTDATE is a date column
    // as in archives of older programs.
    void recreateArchive(bool dateColumn, std::uint8_t languageDriver);
    // Overwrites one cell of the record at a physical index (from 0) with
    // these bytes, padded with spaces: a damaged archive.
    void damageCell(int record, QStringView field, const QByteArray &bytes);

    // Rewrites the settings file with these mechanics and models.
    void writeSettings(const QStringList &mechanics, const QStringList &models) const;

    ArchiveWindowContext context();

    TempProgramFolder folder;
    ScriptedPrompts prompts;
    DbfArchive archive;
    RecordingActWindow actWindow;
    QWidget owner;  // stands for the main window, the archive window's parent
};

// A window over the archive as it is now, loaded and shown without a modal loop.
struct OpenWindow {
    explicit OpenWindow(ArchiveWorld &world) : window(world.context())
    {
        loaded = window.Form_Load();
        if (loaded)
            window.show();
    }
    Form2 window;
    bool loaded = false;
};

QStringList lineTexts(const QAbstractItemView *list);

// Selects line row of the archive list the way a click does.
void clickLine(QAbstractItemView *list, int row);

// Runs openingCommand and, once the archive window is shown modally, action on
// it; closes the window if the action left it open, so no test can hang in the
// modal loop. Returns whether the window was shown at all.
bool whileArchiveWindowShown(const std::function<void()> &openingCommand, const std::function<void(Form2 &)> &action);

}  // namespace qm::test
