#include "removals/User.h"

#include <QRegularExpression>

#include "base/Error.h"

namespace {
// %1 is the user's code, %2 the generic user's.
const char* const kUserStatements[] = {
    "DELETE FROM SCA_SENHASISTEMA WHERE SEN_CODIGO_SENHA = %1",
    "DELETE FROM SCA_SENHAESTABELECIMENTO WHERE SEN_CODIGO_SENHA = %1",
    "DELETE FROM SCA_SENHAEMPRESA WHERE SEN_CODIGO_SENHA = %1",
    "DELETE FROM SCA_MAPASENHA WHERE MSE_CODIGO_SENHA = %1",
    "UPDATE SCA_CLIENTE SET CLI_CODIGO_USUARIO = %2 WHERE CLI_CODIGO_USUARIO = %1",
    "DELETE FROM SCA_CONTABANCARIAPORUSUARIO WHERE CBU_CODIGOUSUARIO = %1",
    "DELETE FROM SCA_SENHA WHERE SEN_CODIGO = %1",
};
}  // namespace

QString captionExclusao() { return QStringLiteral("Exclusão de dados"); }

QString promptUsuario() {
    return QStringLiteral("Informe o código do usuário a ser excluído do banco de dados");
}

QString confirmacaoUsuario(int code) {
    return QStringLiteral("Confirma a exclusão do usuário %1 do banco de dados ?").arg(code);
}

int converterCodigoUsuario(const QString& typed) {
    // Decimal digits only, with an optional sign; blanks around the number are forgiven.
    static const QRegularExpression integer(
        QRegularExpression::anchoredPattern(QStringLiteral("\\s*[+-]?[0-9]{1,10}\\s*")));
    bool ok = false;
    const int code = integer.match(typed).hasMatch() ? typed.trimmed().toInt(&ok) : 0;
    if (!ok) throw AppError(QStringLiteral("''%1'' is not a valid integer value").arg(typed));
    return code;
}

void RemoverUsuario(Session& session, int code, const RunOptions& options) {
    if (code < 1) throw AppError(QStringLiteral("O código do usuário deve ser informado"));
    session.runOperation(falhaConexao(), options, [&] {
        Query& q = session.QRY_GERAL;
        q.close();
        q.setSql(QStringLiteral("SELECT SEN_CODIGO FROM SCA_SENHA WHERE SEN_NOME = 'GENERICO'"));
        q.open();
        if (q.eof())
            throw AppError(QStringLiteral("Usuário genérico não encontrado no banco de dados."));
        const int generic = q.fieldByName(QStringLiteral("SEN_CODIGO")).asInteger();
        if (!session.prepareChanges(options)) return;
        session.setStepTotal(int(std::size(kUserStatements)));
        for (const char* statement : kUserStatements) {
            const QString sql = QString::fromLatin1(statement)
                                    .replace(QLatin1String("%1"), QString::number(code))
                                    .replace(QLatin1String("%2"), QString::number(generic));
            if (!session.runStep(sql, [&] { session.ExecutarComando(sql, Commit::EachStatement); }))
                return;
        }
    });
}
