#include "frame/Compacting.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>

#include "base/Error.h"
#include "db/Backup.h"
#include "db/Compaction.h"
#include "db/Restore.h"
#include "frame/OtherAttachments.h"
#include "frame/Session.h"

namespace {

QString megabytes(qint64 bytes) {
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(bytes / 1e6, 'f', 1) +
           QStringLiteral(" MB");
}

// Lines of a service as the status shows them: the latest when the window is refreshed.
ServiceProgress statusProgress(Session& session, const QString& status) {
    auto shown = std::make_shared<QElapsedTimer>();
    shown->start();
    session.setStatus(status);
    session.AtualizarTela();
    return [&session, status, shown](const QString& line) {
        if (shown->elapsed() < 50 && !line.isEmpty()) return;
        shown->restart();
        if (!line.isEmpty()) session.setStatus(status + QLatin1Char(' ') + line);
        session.AtualizarTela();
    };
}

// Whether another program has the database open, asked on an attachment of our own; not knowing
// counts as yes.
bool othersConnected(Session& session, const QString& connectionString, QString& why) {
    try {
        Database db(session.DB_GERAL.login());
        db.setConnectionString(connectionString);
        db.open();
        Transaction tr(db);
        tr.start();
        Query q(db, tr);
        const QList<OtherAttachment> others = otherAttachments(q);
        q.unprepare();
        tr.rollback();
        db.close();
        if (others.isEmpty()) return false;
        why = QStringLiteral("há outros programas conectados a ele");
    } catch (...) {
        why = QStringLiteral("não foi possível verificar se há outros programas conectados (") +
              errorMessage(std::current_exception()) + QLatin1Char(')');
    }
    return true;
}

struct Kind {
    QString made;      // "compactado", "restaurado"
    QString question;  // the swap's
    QString aside;     // the original's new name's tag
};

// Offers to put the new file in the original's place: only for a local file that nobody has open,
// and only on "Sim".
void offerSwap(Session& session, const QString& connectionString, const RestoredDatabase& r,
               const Kind& kind) {
    if (!restore::isLocalFile(connectionString)) {
        session.RegistrarLog(QStringLiteral("O banco está num servidor: o banco %1 ficou no "
                                            "servidor, em %2. A troca pelo original deve ser "
                                            "feita no servidor, com ninguém conectado ao banco.")
                                 .arg(kind.made, r.file));
        return;
    }
    QString why;
    if (QFileInfo::exists(r.original) && othersConnected(session, r.original, why)) {
        session.RegistrarLog(QStringLiteral("O banco original continua em uso: %1. O banco %2 "
                                            "ficou em %3.")
                                 .arg(why, kind.made, r.file));
        return;
    }
    if (!session.dialogs().confirm(kind.question, Dialogs::Default::No)) {
        session.RegistrarLog(QStringLiteral("O banco original foi mantido; o banco %1 ficou "
                                            "em %2.")
                                 .arg(kind.made, r.file));
        return;
    }
    try {
        const QString aside =
            restore::swap(r.original, r.file, kind.aside, QDateTime::currentDateTime());
        if (!aside.isEmpty())
            session.RegistrarLog(
                QStringLiteral("O banco original foi renomeado para %1.").arg(aside));
        session.RegistrarLog(
            QStringLiteral("O banco %1 está agora em %2.").arg(kind.made, r.original));
    } catch (...) {
        session.RegistrarLog(QStringLiteral("Falha ao trocar os arquivos; os dois ficaram como "
                                            "estavam.\r\n") +
                             errorMessage(std::current_exception()));
    }
}

const Kind kCompacted{QStringLiteral("compactado"),
                      QStringLiteral("Usar o banco compactado no lugar do original?"),
                      QStringLiteral("antes-da-compactacao")};
const Kind kRestored{QStringLiteral("restaurado"),
                     QStringLiteral("Usar o banco restaurado no lugar do original?"),
                     QStringLiteral("antes-da-restauracao")};

// Runs a compaction or a restore and logs it; the failure text says what it left.
template <class Make>
void logged(Session& session, const QString& what, Make make, const Kind& kind) {
    const QString cs = session.view().databasePath();
    session.enterServiceStep();
    try {
        const RestoredDatabase r = make(cs, [&session] { return session.stopRequested(); });
        session.leaveServiceStep();
        QString line = kind.made == kCompacted.made
                           ? QStringLiteral(
                                 "Banco compactado gravado em %1: %2 antes, %3 depois "
                                 "(%4). As tabelas e os generators conferem com o "
                                 "original.")
                                 .arg(r.file, megabytes(r.bytesBefore), megabytes(r.bytesAfter),
                                      duration(r.milliseconds))
                           : QStringLiteral("Cópia restaurada em %1: %2 (%3); o banco abre.")
                                 .arg(r.file, megabytes(r.bytesAfter), duration(r.milliseconds));
        if (!r.note.isEmpty()) line += QLatin1Char(' ') + r.note;
        session.RegistrarLog(line);
        offerSwap(session, cs, r, kind);
    } catch (const ServiceStopped& e) {
        session.leaveServiceStep();
        session.RegistrarLog(QStringLiteral("%1 parada pelo usuário; o banco original não foi "
                                            "alterado.\r\n")
                                 .arg(what) +
                             e.message());
    } catch (...) {
        session.leaveServiceStep();
        session.RegistrarLog(QStringLiteral("Falha na %1; o banco original não foi alterado.\r\n")
                                 .arg(what.toLower()) +
                             errorMessage(std::current_exception()));
    }
}

void compact(Session& session) {
    const LoginParams login = session.DB_GERAL.login();
    logged(
        session, QStringLiteral("Compactação"),
        [&](const QString& cs, const ServiceStop& stop) {
            return compactDatabase(
                cs, login,
                statusProgress(session, QStringLiteral("Compactando o banco de dados...")), stop);
        },
        kCompacted);
}

// The database's file as its server names it; from the path itself when it does not open.
QString databaseFile(Session& session, const QString& cs) {
    try {
        Database db(session.DB_GERAL.login());
        db.setConnectionString(cs);
        db.open();
        return backup::serverFileName(db);
    } catch (...) {
    }
    const QString path = restore::isLocalFile(cs)
                             ? QFileInfo(cs).absoluteFilePath()
                             : cs.mid(backup::serviceManager(cs).size() - qsizetype(11));
    return path;
}

}  // namespace

void compactAfterRun(Session& session) {
    session.RegistrarSeparador();
    compact(session);
}

void compactNow(Session& session) {
    const QString cs = session.view().databasePath();
    if (!session.dialogs().confirm(
            QStringLiteral("Compactar o banco %1 agora?\n\nUma cópia de segurança é restaurada "
                           "num novo arquivo ao lado dele; o banco original não é alterado.")
                .arg(cs)))
        return;
    session.runServiceOperation([&] { compact(session); });
}

void restoreCopyNow(Session& session) {
    const QString cs = session.view().databasePath();
    const QString file = databaseFile(session, cs);
    const QString caption = QStringLiteral("Restaurar uma cópia de segurança");
    const QString backupFile =
        restore::isLocalFile(cs)
            ? session.dialogs().openFileName(
                  caption, QFileInfo(file).absolutePath(),
                  QStringLiteral("Cópias de segurança (*.fbk);;Todos os arquivos (*)"))
            : session.dialogs().input(caption,
                                      QStringLiteral("Caminho da cópia de segurança no servidor:"),
                                      session.lastSafetyCopy(cs));
    if (backupFile.trimmed().isEmpty()) return;
    if (!session.dialogs().confirm(
            QStringLiteral("Restaurar a cópia %1 num novo banco ao lado de %2?\n\nO banco atual "
                           "não é alterado.")
                .arg(backupFile.trimmed(), file)))
        return;
    const LoginParams login = session.DB_GERAL.login();
    session.runServiceOperation([&] {
        logged(
            session, QStringLiteral("Restauração"),
            [&](const QString& connection, const ServiceStop& stop) {
                return restoreBeside(
                    connection, file, backupFile.trimmed(), login,
                    statusProgress(session, QStringLiteral("Restaurando a cópia de segurança...")),
                    stop);
            },
            kRestored);
    });
}
