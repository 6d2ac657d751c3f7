#pragma once

#include <QString>

class QWidget;

namespace qm {

class ActWindow;
class Archive;
class Prompts;

// What the archive window and its commands work on: the main window they hand
// recalled and deleted acts to, the prompts and the archive.
struct ArchiveWindowContext {
    ActWindow *actWindow = nullptr;
    Prompts *prompts = nullptr;
    Archive *archive = nullptr;
    QWidget *parent = nullptr;   // the main window, owner of the modal archive window
    QString programFolder;       // where the archive and its acts' PDF copies are
};

}  // namespace qm
