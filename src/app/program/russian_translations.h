#pragma once

class QCoreApplication;

namespace qm {

// Makes Qt's own texts Russian whatever the system's language: the context
// menus of the fields, the calendar of the date picker (Russian month and day
// names, Monday first), the file dialog and the standard buttons. To be called
// once the application object exists and before any window is made. Returns
// false when Qt's Russian catalogue (qtbase_ru) is not installed: those texts
// then stay as Qt ships them, and the program goes on.
bool useRussianEverywhere(QCoreApplication &application);

}  // namespace qm
