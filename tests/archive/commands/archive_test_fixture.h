#pragma once

#include "app/act_data.h"
#include "archive/archive_table.h"
#include "archive/commands/archive_window_context.h"
#include "archive/dbf_archive.h"
#include "support/act_widgets.h"
#include "support/scripted_prompts.h"
#include "support/temp_program_folder.h"

#include <QHash>
#include <QListWidget>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <functional>

namespace qm {
class Form2;
}

namespace qm::test {

// One archived act by field name; a missing field or a null QVariant is stored blank.
using ArchiveRow = QHash<QString, QVariant>;

// A complete act whose every field carries n, so records are told apart.
ArchiveRow sampleRow(int n);

// A program folder with a settings file, an empty QM.dbf, the act fields and
// scripted prompts: everything the archive window works on.
class ArchiveWorld {
public:
    ArchiveWorld();

    void append(const ArchiveRow &row);
    void append(const QList<ArchiveRow> &rows);
    // Every record's ArchiveField value in natural order, read through a fresh open.
    QList<QVariant> column(QStringView field);
    int recordCount();
    QStringList listLines();   // what the list should show for the table now

    // Rewrites the settings file with these mechanics and models.
    void writeSettings(const QStringList &mechanics, const QStringList &models) const;

    ArchiveWindowContext context();

    TempProgramFolder folder;
    ScriptedPrompts prompts;
    DbfArchive archive;
    std::unique_ptr<ActWidgets> fields;
};

QStringList itemTexts(const QComboBox *list);
QStringList lineTexts(const QListWidget *list);

// Selects line row of the archive list the way a click does.
void clickLine(QListWidget *list, int row);

// Runs openingCommand and, once the archive window is shown modally, action on
// it; closes the window if the action left it open, so no test can hang in the
// modal loop. Returns whether the window was shown at all.
bool whileArchiveWindowShown(const std::function<void()> &openingCommand,
                             const std::function<void(Form2 &)> &action);

}  // namespace qm::test
