#include "db/ClientLibrary.h"

namespace fb {

namespace {
// Built from Windows paths whatever the system this runs on, so it can be tested anywhere.
QString folder(QString path) {
    path = path.trimmed().replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (path.endsWith(QLatin1Char('\\'))) path.chop(1);
    return path;
}
}  // namespace

QStringList clientLibraryCandidates(const QString& programFolder, const QString& defaultInstance) {
    const QString name = QString::fromLatin1(kClientLibraryName);
    QStringList candidates;
    auto add = [&](const QString& dir) {
        if (dir.isEmpty()) return;
        const QString path = dir + QLatin1Char('\\') + name;
        if (!candidates.contains(path, Qt::CaseInsensitive)) candidates << path;
    };
    add(folder(programFolder));
    const QString instance = folder(defaultInstance);
    add(instance);
    if (!instance.isEmpty()) add(instance + QStringLiteral("\\bin"));
    candidates << name;
    return candidates;
}

QString clientLibraryNotFound(const QStringList& tried) {
    QStringList places;
    for (const QString& t : tried)
        places << (t == QLatin1String(kClientLibraryName) ? QStringLiteral("pastas do PATH") : t);
    return QStringLiteral("O cliente do Firebird (fbclient.dll, versão 3.0 ou mais nova) não foi "
                          "encontrado. Procurado em: %1.\r\n"
                          "Instale o Firebird 3.0 ou mais novo (64 bits) ou copie o fbclient.dll "
                          "para a pasta do programa.")
        .arg(places.join(QStringLiteral("; ")));
}

}  // namespace fb
