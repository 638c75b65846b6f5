#include "cleanup/Purge.h"

#include "base/Error.h"
#include "catalogue/CatalogueBuilder.h"
#include "db/SqlText.h"

namespace {
bool blank(const QString& s) { return s.trimmed().isEmpty(); }
}  // namespace

bool TabelaSelecionada(MemTable& catalogue, const QString& key) {
    catalogue.first();
    if (!catalogue.locate(QString(TABELA_NOME), key, Qt::CaseInsensitive)) return false;
    return catalogue.field(QString(EXCLUIR)).toString() == QLatin1String("S");
}

void LimparTabela(Session& session, const MemTable& catalogue, const QString& table,
                  const QString& generator, const QString& condition) {
    QString status = catalogue.field(QString(DESCRICAO)).toString() + QStringLiteral(" - ") + table;
    if (!blank(generator)) status += QStringLiteral(" (Generator: ") + generator + QLatin1Char(')');
    session.setStatus(status);
    session.AtualizarTela();

    Query& q = session.QRY_GERAL;
    try {
        q.close();
        q.setSql(QStringLiteral(
                     "SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ") +
                 sqlString(table));
        q.open();
        if (q.eof()) {
            session.RegistrarLog(QStringLiteral("Tabela ") + table +
                                 QStringLiteral(" Inexistente"));
        } else {
            q.close();
            q.setSql(QStringLiteral("SELECT COUNT(*) AS NR_REGISTROS FROM ") + table);
            q.open();
            const int rows = q.fieldByName(QStringLiteral("NR_REGISTROS")).asInteger();
            q.close();

            QString del = QStringLiteral("DELETE FROM ") + table;
            if (!blank(condition)) del += QStringLiteral("\r\n") + condition;
            q.setSql(del);
            q.execSql();
            const qint64 deleted = q.rowsAffected();
            session.RegistrarLog(table + QStringLiteral(" ( ") + QString::number(rows) +
                                 QStringLiteral(" )"));
            if (!blank(generator)) ReiniciarGenerator(session, generator);
            session.TR_GERAL.commit();
            ++session.report().tables;
            session.report().rowsDeleted += qMax<qint64>(deleted, 0);
            session.processPendingEvents();
        }
    } catch (...) {
        countFailure(session.report(), std::current_exception());
        session.RegistrarLog(table + QStringLiteral("\r\n") +
                             errorMessage(std::current_exception()));
    }
    session.RegistrarSeparador();
}

void ReiniciarGenerator(Session& session, const QString& generator) {
    Query& q = session.QRY_GERAL;
    try {
        q.close();
        q.setSql(QStringLiteral(
                     "SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = ") +
                 sqlString(generator));
        q.open();
        if (!q.eof()) {
            q.close();
            // A generator is outside every transaction: a restart could not be undone.
            if (session.simulating()) return;
            // From 4.0 on, RESTART WITH 0 makes 0 the next value; SET GENERATOR keeps 1 there.
            if (session.DB_GERAL.serverMajor() >= 4)
                q.setSql(QStringLiteral("SET GENERATOR ") + generator + QStringLiteral(" TO 0"));
            else
                q.setSql(QStringLiteral("ALTER SEQUENCE ") + generator +
                         QStringLiteral(" RESTART WITH 0"));
            q.execSql();
        } else {
            session.RegistrarLog(QStringLiteral("Generator ") + generator +
                                 QStringLiteral(" inexistente"));
        }
    } catch (...) {
        countFailure(session.report(), std::current_exception());
        session.RegistrarLog(generator + QStringLiteral("\r\n") +
                             errorMessage(std::current_exception()));
    }
}
