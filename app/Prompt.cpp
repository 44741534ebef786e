#include "Prompt.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QQueue>

namespace {
bool scripted = false;
QQueue<bool> answers;
QQueue<Prompt::SaveAnswer> saveAnswers;
QQueue<QString> fileNames;
QStringList messages;
QStringList questions;
QStringList questionTitles;

// The button that leaves a question without doing anything (also Escape).
QPushButton *addCancelButton(QMessageBox &box)
{
    QPushButton *cancel = box.addButton(QMessageBox::Cancel);
    cancel->setText(QString::fromUtf8("취소"));
    box.setEscapeButton(cancel);
    return cancel;
}
} // namespace

namespace Prompt {

void error(QWidget *parent, const QString &text)
{
    if (scripted) {
        messages.append(text);
        return;
    }
    QMessageBox::information(parent, QStringLiteral("error"), text, QMessageBox::Ok, QMessageBox::NoButton);
}

bool question(QWidget *parent, const QString &title, const QString &text)
{
    if (scripted) {
        questions.append(text);
        questionTitles.append(title);
        return !answers.isEmpty() && answers.dequeue();
    }
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        == QMessageBox::Yes;
}

SaveAnswer askToSave(QWidget *parent, const QString &text)
{
    if (scripted) {
        questions.append(text);
        questionTitles.append(QStringLiteral("notify"));
        return saveAnswers.isEmpty() ? SaveAnswer::Cancel : saveAnswers.dequeue();
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("notify"), text, QMessageBox::NoButton, parent);
    QPushButton *save = box.addButton(QMessageBox::Save);
    QPushButton *discard = box.addButton(QMessageBox::Discard);
    addCancelButton(box);
    save->setText(QString::fromUtf8("저장"));
    discard->setText(QString::fromUtf8("저장 안 함"));
    // Return keeps the work; Escape changes nothing.
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == save)
        return SaveAnswer::Save;
    if (box.clickedButton() == discard)
        return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

bool askToRecover(QWidget *parent, const QString &text)
{
    if (scripted) {
        questions.append(text);
        questionTitles.append(QStringLiteral("notify"));
        return !answers.isEmpty() && answers.dequeue();
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("notify"), text, QMessageBox::NoButton, parent);
    QPushButton *recover = box.addButton(QString::fromUtf8("복구"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QString::fromUtf8("버리기"), QMessageBox::DestructiveRole);
    box.setDefaultButton(recover);
    box.setEscapeButton(discard);
    box.exec();
    return box.clickedButton() == recover;
}

ChangedFileAnswer askAboutChangedFile(QWidget *parent, const QString &text)
{
    if (scripted) {
        questions.append(text);
        questionTitles.append(QStringLiteral("notify"));
        return ChangedFileAnswer::Cancel;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("notify"), text, QMessageBox::NoButton, parent);
    QPushButton *beside = box.addButton(QString::fromUtf8("새 이름으로 저장"), QMessageBox::AcceptRole);
    QPushButton *overwrite = box.addButton(QString::fromUtf8("덮어쓰기"), QMessageBox::DestructiveRole);
    addCancelButton(box);
    // Return loses nothing: the other file stays and the work goes beside.
    box.setDefaultButton(beside);
    box.exec();
    if (box.clickedButton() == beside)
        return ChangedFileAnswer::SaveBeside;
    if (box.clickedButton() == overwrite)
        return ChangedFileAnswer::Overwrite;
    return ChangedFileAnswer::Cancel;
}

namespace {

// The dialog adds the default suffix itself; a dialog that does not (some
// native ones) leaves it to us. A name with any extension is kept.
QString withSuffix(const QString &path, const QString &defaultSuffix)
{
    if (path.isEmpty() || defaultSuffix.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + defaultSuffix;
}

} // namespace

QString saveFileName(QWidget *parent, const QString &caption, const QString &start, const QString &filter,
                     const QString &defaultSuffix)
{
    if (scripted)
        return withSuffix(fileNames.isEmpty() ? QString() : fileNames.dequeue(), defaultSuffix);
    QFileDialog dialog(parent, caption, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return withSuffix(dialog.selectedFiles().constFirst(), defaultSuffix);
}

QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (scripted)
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

void setScripted(bool on)
{
    scripted = on;
    answers.clear();
    saveAnswers.clear();
    fileNames.clear();
    messages.clear();
    questions.clear();
    questionTitles.clear();
}

void queueAnswer(bool yes)
{
    answers.enqueue(yes);
}

void queueSaveAnswer(SaveAnswer answer)
{
    saveAnswers.enqueue(answer);
}

void queueFileName(const QString &path)
{
    fileNames.enqueue(path);
}

QStringList takeMessages()
{
    QStringList taken;
    taken.swap(messages);
    return taken;
}

QStringList takeQuestions()
{
    QStringList taken;
    taken.swap(questions);
    return taken;
}

QStringList takeQuestionTitles()
{
    QStringList taken;
    taken.swap(questionTitles);
    return taken;
}

} // namespace Prompt
