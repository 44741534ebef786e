#include "Prompt.h"

#include <QFileDialog>
#include <QQueue>

namespace {
bool scripted = false;
QQueue<bool> answers;
QQueue<QString> fileNames;
QStringList messages;
QStringList questions;
QStringList questionTitles;
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

QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter)
{
    if (scripted)
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
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
    fileNames.clear();
    messages.clear();
    questions.clear();
    questionTitles.clear();
}

void queueAnswer(bool yes)
{
    answers.enqueue(yes);
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
