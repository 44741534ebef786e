#pragma once

#include <QString>

// Qt's own texts in Korean: the standard buttons of the message boxes
// (확인, 저장, 취소, 예, 아니요), Qt's file dialog and its overwrite question.
// They come from Qt's translation file qtbase_ko.qm; the program's own texts
// are Korean in the source and need no file.

// The folder this platform keeps qtbase_ko.qm in: Qt's translations folder
// on Linux (Debian's qttranslations5-l10n), translations\ beside the
// program on Windows, where the program ships the file.
QString qtTranslationFolder();

// Installs <folder>/qtbase_ko.qm into the running application, whatever the
// system's language, since the whole program is Korean. Returns false and
// installs nothing when there is no application yet or the file is missing
// or unreadable; Qt's texts then stay English.
bool installQtTranslation(const QString &folder = qtTranslationFolder());
