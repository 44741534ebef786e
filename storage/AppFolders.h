#pragma once

#include <QString>

// The folders the program reads and writes, found from the program's own
// folder and never from the working directory. The program lives in the
// bin/ folder of a portable folder:
//   <root>/bin/pelarin                the program
//   <root>/Resource/CashItems.json    the cash item catalogue
//   <root>/Resource/CustomDatas/      ledgers and exports
//   <root>/Screenshot/                the Scroll Lock pictures
//   <root>/Resource/Recovery/         copies of unsaved work, one per run
// PELARIN_HOME, when set and not empty, names <root> instead: the Debian
// package's launcher sets it to the user's own folder, since the program's
// own folder there is the system's.
namespace AppFolders {

// PELARIN_HOME, or the folder above the program's (the QCoreApplication's).
QString root();
QString cashItemsFile();
QString ledgerDirectory();
QString screenshotDirectory();
QString recoveryDirectory();

} // namespace AppFolders
