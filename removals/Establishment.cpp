#include "removals/Establishment.h"

#include <QRegularExpression>

#include "base/Error.h"

bool codigoEstabelecimentoValido(const QString& code) {
    static const QRegularExpression wholeNumber(
        QRegularExpression::anchoredPattern(QStringLiteral(" *[0-9]+ *")));
    return wholeNumber.match(code).hasMatch();
}

bool DesvincularEstabelecimento(Session& session, const QString& code) {
    return runScript(session, establishmentLinks(), code);
}

void RemoverEstabelecimento(Session& session, Dialogs& dialogs) {
    session.runOperation(falhaConexao(), [&] {
        const QString code = dialogs.input(
            QStringLiteral("Exclusão de dados"),
            QStringLiteral("Informe o código do estabelecimento a ser excluído do banco de dados"));
        // The code is written into 256 statements: text such as "1 OR 1=1" would widen every one.
        if (!codigoEstabelecimentoValido(code))
            throw AppError(
                QStringLiteral("Código de estabelecimento inválido: informe apenas números"));

        Query& q = session.QRY_GERAL;
        q.close();
        q.setSql(QStringLiteral("SELECT EMP_CODIGO FROM SCA_EMPRESA WHERE EMP_CODIGO = ") + code);
        q.open();
        if (q.eof()) throw AppError(QStringLiteral("O estabelecimento informado não existe"));
        const RunAnswer answer = session.confirmRun(
            dialogs, QStringLiteral("Confirma a exclusão do estabelecimento ") + code +
                         QStringLiteral(" e toda movimentação vinculada ?"));
        if (answer.choice == RunAnswer::Choice::No)
            throw AppError(QStringLiteral("Operação Cancelada"));
        if (!session.prepareChanges(runOptions(answer))) return;

        session.setStepTotal(int(establishmentLinks().size() + establishmentScript().size()));
        if (DesvincularEstabelecimento(session, code))
            runScript(session, establishmentScript(), code);
    });
}
