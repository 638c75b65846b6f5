#include "removals/Location99.h"

#include "db/Error.h"
#include "db/SqlText.h"

QString confirmacaoLocal99() {
    return QStringLiteral("Confirma a exclusão do local \"99\" e toda movimentação vinculada ?");
}

void RemoverLocal99(Session& session, Dialogs& dialogs) {
    const QString location = sqlString(QStringLiteral("99"));
    session.runOperation(falhaConexao(), [&] {
        Query& q = session.QRY_GERAL;
        q.close();
        q.setSql(
            QStringLiteral("SELECT LAR_CODIGO FROM SCA_LOCALARMAZENAMENTO WHERE LAR_CODIGO = ") +
            location);
        q.open();
        if (q.eof())
            throw AppError(
                QStringLiteral("Não existem locais \"99\" registrados no banco de dados"));
        runScript(session, location99Script(), location);
        dialogs.message(
            QStringLiteral("Antes de utilizar o sistema, acesse a instalação e defina que \"NÃO\" "
                           "UTILIZA SALDO PARCIAL"));
    });
}
