#include "app/LogFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include "base/Dialogs.h"

namespace {
QString operationLine(const LogOrigin& origin) {
    if (!origin.started) return QStringLiteral("nenhuma operação foi iniciada");
    QString name =
        origin.operation.isEmpty() ? QStringLiteral("não identificada") : origin.operation;
    if (origin.simulated) name += QStringLiteral(" (simulação)");
    return name;
}

// Why the file could not be written, or the empty text once it is in place.
QString writeWhole(const QString& path, const QByteArray& contents) {
    const QFileInfo target(path);
    const QString folder = QDir::toNativeSeparators(target.absolutePath());
    if (!target.absoluteDir().exists()) return QStringLiteral("a pasta %1 não existe").arg(folder);
    // Written aside and moved into place: a failure leaves neither half a file nor a damaged
    // earlier one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral(
                   "não é permitido gravar na pasta %1 (sem permissão ou somente leitura): %2")
            .arg(folder, file.errorString());
    if (file.write(contents) != contents.size() || !file.commit())
        return QStringLiteral("a gravação não terminou, o disco pode estar cheio: %1")
            .arg(file.errorString());
    return {};
}
}  // namespace

QString proposedLogPath(const QDateTime& now) {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(
            QStringLiteral("depurix-%1.txt").arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

QByteArray logFileText(const LogOrigin& origin, const QDateTime& savedAt, const QString& shown) {
    QStringList lines{
        QStringLiteral("Log do Depurix salvo em %1")
            .arg(savedAt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))),
        QStringLiteral("Banco de dados: %1")
            .arg(origin.started ? origin.databasePath : QStringLiteral("nenhum")),
        QStringLiteral("Operação: %1").arg(operationLine(origin)),
        QString(),
    };
    if (!shown.isEmpty()) lines += shown.split(QLatin1Char('\n'));
    QString text;
    for (const QString& line : lines) text += line + QStringLiteral("\r\n");
    return text.toUtf8();
}

void saveLogFile(Dialogs& dialogs, const LogOrigin& origin, const QString& shown) {
    const QString path = dialogs.saveFileName(QStringLiteral("Salvar o log"),
                                              proposedLogPath(QDateTime::currentDateTime()),
                                              QStringLiteral("Texto (*.txt)"));
    if (path.isEmpty()) return;
    const QString failure =
        writeWhole(path, logFileText(origin, QDateTime::currentDateTime(), shown));
    if (failure.isEmpty()) return;
    dialogs.error(QStringLiteral("Não foi possível salvar o log em %1: %2.\nO log continua na "
                                 "janela e nenhum arquivo foi gravado.")
                      .arg(QDir::toNativeSeparators(path), failure));
}
