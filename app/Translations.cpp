#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

bool loadQtTranslation(QTranslator& translator) {
    const QString name = QStringLiteral("qtbase_pt_BR");
    for (const QString& folder :
         {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
          QLibraryInfo::path(QLibraryInfo::TranslationsPath)})
        if (translator.load(name, folder)) return QCoreApplication::installTranslator(&translator);
    return false;
}
