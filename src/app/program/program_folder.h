#pragma once

#include "app/prompts/prompts.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace qm {

// The files the program reads, all in one folder: the settings, the act
// template and the archive.
inline constexpr std::array<QStringView, 3> kProgramFileNames{u"Quillmarch.ini", u"Quillmarch.xls", u"QM.dbf"};

// The candidates for the program folder of one run.
struct ProgramFolderPlaces {
    QString executableFolder;  // the running executable's own folder
    QString chosenFolder;      // given with --folder; empty when not given
    QString userDataFolder;    // the per-user data folder (~/.local/share/Quillmarch)
};

// The candidates of this process: its executable's folder, the per-user data
// folder of the application's name, and the folder chosen on the command line.
ProgramFolderPlaces placesOfThisRun(const QString &chosenFolder);

// Where an installed program keeps the files it ships: share/quillmarch beside
// the bin folder of its executable, wherever the package was unpacked.
QString shippedFilesFolder(const QString &executableFolder);

// Settles the program folder, without a trailing separator:
// - a chosen folder is used as it is, and must exist;
// - otherwise the executable's folder, when it holds any of the program's
//   files or the archive's backups (a build folder, or a copy of the program
//   carried around with its files, with or without settings);
// - otherwise the per-user data folder, made when missing, where each missing
//   file is copied from the shipped ones. A file already there is never
//   replaced: it holds the mechanic's settings, template or archive. Nor is a
//   missing archive replaced by the shipped empty one while backups of it
//   exist: the start-up offers the newest of them instead.
// Throws qm::Failure when the folder cannot be had.
QString prepareProgramFolder(const ProgramFolderPlaces &places);

// prepareProgramFolder for the start of the program: a failure is shown with
// its number and description, and gives nothing; the program then ends.
std::optional<QString> openProgramFolder(const ProgramFolderPlaces &places, Prompts &prompts);

}  // namespace qm
