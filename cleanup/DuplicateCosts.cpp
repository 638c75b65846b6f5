#include "cleanup/DuplicateCosts.h"

namespace {
const char* const kGroupQuery =
    "SELECT HCL_CODIGO_ITEMLOCAL, HCL_DT_INCLUSAO, HCL_CODIGO_GRADEPRECO FROM "
    "SCA_HISTORICOCUSTOLIQUIDO "
    "GROUP BY HCL_CODIGO_ITEMLOCAL, HCL_DT_INCLUSAO, HCL_CODIGO_GRADEPRECO HAVING "
    "COUNT(HCL_PK_HISTORICOCUSTOLIQUIDO) > 1";
const char* const kPassByGradePrice =
    "SELECT HCL_PK_HISTORICOCUSTOLIQUIDO FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_DT_INCLUSAO = "
    ":LISTA1_DT_INCLUSAO AND HCL_CODIGO_GRADEPRECO = :LISTA1_PKGRADEPRECO";
const char* const kPassByItemLocation =
    "SELECT HCL_PK_HISTORICOCUSTOLIQUIDO FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_DT_INCLUSAO = "
    ":LISTA1_DT_INCLUSAO AND HCL_CODIGO_ITEMLOCAL = :LISTA1_PKITEMLOCAL";
const char* const kDeleteOne =
    "DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_PK_HISTORICOCUSTOLIQUIDO = :LISTA2_PK_CUSTO";

// Fourteen columns, with the blanks the text has always had.
const char* const kRequisitionDuplicates =
    "SELECT * FROM ( SELECT  HCL_CODIGO_EMPRESA_MASTER, HCL_CODIGO_EMPRESA, HCL_CODIGO_ITEMLOCAL, "
    "HCL_CODIGO_ITEM_NFENTRADA, HCL_CODIGO_ITEMSAIDA, HCL_CODIGO_ITEMNOTAFISCALSAIDA,  "
    "HCL_CODIGO_PRODUCAOITENS, HCL_DT_INCLUSAO, HCL_CODIGO_GRADEPRECO, HCL_CODIGO_LOCAL, "
    "HCL_CODIGO_ITEMORDEMEXPEDICAO,  HCL_CODIGO_ITEMTRANSFERENCIA, HCL_CODIGO_ITEMDESMEMBRAMENTO, "
    "HCL_CODIGO_PRODUCAOENVASEITENS, COUNT(*) AS REGISTROS FROM SCA_HISTORICOCUSTOLIQUIDO GROUP BY "
    "HCL_CODIGO_EMPRESA_MASTER, HCL_CODIGO_EMPRESA, HCL_CODIGO_ITEMLOCAL, "
    "HCL_CODIGO_ITEM_NFENTRADA, "
    "HCL_CODIGO_ITEMSAIDA, HCL_CODIGO_ITEMNOTAFISCALSAIDA,          HCL_CODIGO_PRODUCAOITENS, "
    "HCL_DT_INCLUSAO, HCL_CODIGO_GRADEPRECO, HCL_CODIGO_LOCAL, HCL_CODIGO_ITEMORDEMEXPEDICAO,      "
    "    "
    "HCL_CODIGO_ITEMTRANSFERENCIA, HCL_CODIGO_ITEMDESMEMBRAMENTO, HCL_CODIGO_PRODUCAOENVASEITENS) "
    "WHERE REGISTROS > 1";

QString text(const char* s) { return QString::fromLatin1(s); }
}  // namespace

void RemoverCustosDuplicados(Session& session) {
    session.AtualizarTela();
    Query& groups = session.QRY_GERAL;
    Query& pass = session.QRY_GERAL2;
    Query& del = session.QRY_GERAL3;

    groups.close();
    groups.setSql(text(kGroupQuery));
    groups.open();
    if (groups.eof()) return;
    groups.fetchAll();  // read to the end before any delete touches the table
    for (groups.first(); !groups.eof(); groups.next()) {
        const int gradePrice =
            groups.fieldByName(QStringLiteral("HCL_CODIGO_GRADEPRECO")).asInteger();
        const Value date = groups.fieldByName(QStringLiteral("HCL_DT_INCLUSAO"));
        pass.close();
        if (gradePrice > 0) {
            pass.setSql(text(kPassByGradePrice));
            pass.paramByName(QStringLiteral("LISTA1_PKGRADEPRECO")).setInteger(gradePrice);
        } else {
            pass.setSql(text(kPassByItemLocation));
            pass.paramByName(QStringLiteral("LISTA1_PKITEMLOCAL"))
                .setInteger(groups.fieldByName(QStringLiteral("HCL_CODIGO_ITEMLOCAL")).asInteger());
        }
        pass.paramByName(QStringLiteral("LISTA1_DT_INCLUSAO")).setDateTime(date);
        pass.open();
        const int matched = pass.fetchAll();

        // One pass per group: every matched row but the last goes, by its key. Re-running the
        // pass after each delete would scan the history once per row.
        QList<int> keys;
        for (pass.first(); !pass.eof() && keys.size() + 1 < matched; pass.next())
            keys << pass.fieldByName(QStringLiteral("HCL_PK_HISTORICOCUSTOLIQUIDO")).asInteger();
        pass.close();
        for (int key : keys) {
            del.close();
            del.setSql(text(kDeleteOne));
            del.paramByName(QStringLiteral("LISTA2_PK_CUSTO")).setInteger(key);
            del.execSql();
            if (del.rowsAffected() == 0) break;  // nothing went: this group ends here
        }
    }
}

void removerHistoricoRequisicaoDuplicado(Session& session) {
    Query& dup = session.QRY_GERAL2;
    dup.close();
    dup.setSql(text(kRequisitionDuplicates));
    dup.open();
    if (dup.eof()) return;
    dup.fetchAll();
    for (dup.first(); !dup.eof(); dup.next()) {
        const QString itemLocation =
            dup.fieldByName(QStringLiteral("HCL_CODIGO_ITEMLOCAL")).asString();
        const QString date = dup.fieldByName(QStringLiteral("HCL_DT_INCLUSAO"))
                                 .asDateTime()
                                 .toString(QStringLiteral("yyyy-MM-dd"));
        session.ExecutarComando(
            QStringLiteral("DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_CODIGO_ITEMLOCAL = ") +
                itemLocation + QStringLiteral(" AND HCL_DT_INCLUSAO = '") + date +
                QStringLiteral("' AND HCL_CODIGO_ITEMREQUISICAO IS NOT NULL"),
            Commit::None);
    }
}
