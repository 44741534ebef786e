#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// Every message box and file dialog of the program goes through here, so
// that tests can answer them without a human and read what was shown.
namespace Prompt {

// "error" information box with a single OK button and no default button.
void error(QWidget *parent, const QString &text);
// "notify" question with Yes and No; true only for Yes.
bool question(QWidget *parent, const QString &title, const QString &text);
// What to do with unsaved changes before they would be lost.
enum class SaveAnswer { Save, Discard, Cancel };
// "notify" question with Save (the default), Don't save and Cancel (also
// Escape).
SaveAnswer askToSave(QWidget *parent, const QString &text);
// "notify" question about work left by a run that ended without closing:
// "복구" (the default, Return) or "버리기"; true for 복구. Scripted, it takes
// the queued yes/no answers.
bool askToRecover(QWidget *parent, const QString &text);
// What to do when the file a save would write over was written by someone
// else since this program read or wrote it.
enum class ChangedFileAnswer { SaveBeside, Overwrite, Cancel };
// "notify" question with "새 이름으로 저장" (the default, Return), "덮어쓰기"
// and "취소" (also Escape). Scripted, it is cancelled.
ChangedFileAnswer askAboutChangedFile(QWidget *parent, const QString &text);

// File dialogs; an empty string when cancelled. The save dialog starts at
// `start` and adds `defaultSuffix` to a name typed without an extension (also
// in scripted mode).
QString saveFileName(QWidget *parent, const QString &caption, const QString &start, const QString &filter,
                     const QString &defaultSuffix);
QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);

// Test seam. In scripted mode nothing modal is shown: messages are recorded,
// questions and file dialogs take the queued answers (No and cancel when the
// queue is empty).
void setScripted(bool scripted);
void queueAnswer(bool yes);
void queueSaveAnswer(SaveAnswer answer);
void queueFileName(const QString &path);
QStringList takeMessages();
QStringList takeQuestions();
// Titles of the questions asked, in the same order as takeQuestions.
QStringList takeQuestionTitles();

} // namespace Prompt
