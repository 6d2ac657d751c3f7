#pragma once

#include "app/act_data.h"

#include <QString>

class QWidget;

namespace qm {

class Archive;
class Prompts;

// What the archive window and its commands work on: the main window's act
// fields, the settings file the pick-lists are reloaded from, and the archive.
struct ArchiveWindowContext {
    ActData act;
    QString iniPath;
    Prompts *prompts = nullptr;
    Archive *archive = nullptr;
    QWidget *parent = nullptr;   // the main window, owner of the modal archive window
};

}  // namespace qm
