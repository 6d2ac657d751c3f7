#pragma once

#include <QString>
#include <QtGlobal>

namespace qm {

// The values every command of the run shares. (The template path is the print
// command's own: it is derived afresh at each run.)
struct ProgramValues {
    QString programFolder;   // the folder of the settings, template and archive, no trailing separator
    QString IniPath;         // settings file, set once at start
    qint16 PrintCopies = 1;  // copies offered for printing
    qint16 NullKeyCode = 127;// key code that empties the field it is typed into
    bool SavePdf = true;     // a PDF copy of every act beside the archive
    bool pdfFailureShown = false;  // a PDF copy that failed is told once a run
    bool backupFailureShown = false;  // a failed daily backup is reported once per run
};

}  // namespace qm
