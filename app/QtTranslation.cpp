#include "QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

#include <memory>

bool installQtTranslation(const QString &folder)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return false;
    // The exact file only: given a name, QTranslator::load would also try
    // shorter ones (qtbase.qm, and on up the folder's own name).
    const QString path = QDir(folder).filePath(QStringLiteral("qtbase_ko.qm"));
    if (!QFileInfo(path).isFile())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(path) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    // The application owns it from here and drops it when it ends.
    translator.release()->setParent(application);
    return true;
}
