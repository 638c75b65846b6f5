#include "removals/Location99.h"

#include "base/Error.h"
#include "db/SqlText.h"

QString confirmacaoLocal99() {
    return QStringLiteral("Confirma a exclusão do local \"99\" e toda movimentação vinculada ?");
}

void RemoverLocal99(Session& session, Dialogs& dialogs, const RunOptions& options) {
    const QString location = sqlString(QStringLiteral("99"));
    session.runOperation(falhaConexao(), options, [&] {
        Query& q = session.QRY_GERAL;
        q.close();
        q.setSql(
            QStringLiteral("SELECT LAR_CODIGO FROM SCA_LOCALARMAZENAMENTO WHERE LAR_CODIGO = ") +
            location);
        q.open();
        if (q.eof())
            throw AppError(
                QStringLiteral("Não existem locais \"99\" registrados no banco de dados"));
        if (!session.prepareChanges(options)) return;
        session.setStepTotal(int(location99Script().size()));
        if (!runScript(session, location99Script(), location)) return;
        const QString notice = QStringLiteral(
            "Antes de utilizar o sistema, acesse a instalação e defina que \"NÃO\" "
            "UTILIZA SALDO PARCIAL");
        // The notice is about what the run changed; a simulation changed nothing.
        if (session.simulating())
            session.RegistrarLog(simulatedMessage(notice));
        else
            dialogs.message(notice);
    });
}
