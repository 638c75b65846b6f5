#include "OldDuplicateLoop.h"

void removerCustosDuplicadosOriginal(Session& session) {
    Query& groups = session.QRY_GERAL;
    Query& pass = session.QRY_GERAL2;
    Query& del = session.QRY_GERAL3;
    groups.close();
    groups.setSql(QStringLiteral(
        "SELECT HCL_CODIGO_ITEMLOCAL, HCL_DT_INCLUSAO, HCL_CODIGO_GRADEPRECO FROM "
        "SCA_HISTORICOCUSTOLIQUIDO "
        "GROUP BY HCL_CODIGO_ITEMLOCAL, HCL_DT_INCLUSAO, HCL_CODIGO_GRADEPRECO HAVING "
        "COUNT(HCL_PK_HISTORICOCUSTOLIQUIDO) > 1"));
    groups.open();
    groups.fetchAll();
    for (groups.first(); !groups.eof(); groups.next()) {
        const int grade = groups.fieldByName(QStringLiteral("HCL_CODIGO_GRADEPRECO")).asInteger();
        pass.close();
        if (grade > 0) {
            pass.setSql(QStringLiteral(
                "SELECT HCL_PK_HISTORICOCUSTOLIQUIDO FROM SCA_HISTORICOCUSTOLIQUIDO WHERE "
                "HCL_DT_INCLUSAO = :LISTA1_DT_INCLUSAO AND HCL_CODIGO_GRADEPRECO = "
                ":LISTA1_PKGRADEPRECO"));
            pass.paramByName(QStringLiteral("LISTA1_PKGRADEPRECO")).setInteger(grade);
        } else {
            pass.setSql(QStringLiteral(
                "SELECT HCL_PK_HISTORICOCUSTOLIQUIDO FROM SCA_HISTORICOCUSTOLIQUIDO WHERE "
                "HCL_DT_INCLUSAO = :LISTA1_DT_INCLUSAO AND HCL_CODIGO_ITEMLOCAL = "
                ":LISTA1_PKITEMLOCAL"));
            pass.paramByName(QStringLiteral("LISTA1_PKITEMLOCAL"))
                .setInteger(groups.fieldByName(QStringLiteral("HCL_CODIGO_ITEMLOCAL")).asInteger());
        }
        pass.paramByName(QStringLiteral("LISTA1_DT_INCLUSAO"))
            .setDateTime(groups.fieldByName(QStringLiteral("HCL_DT_INCLUSAO")));
        pass.open();
        for (int n = pass.fetchAll(); n > 1; n = pass.fetchAll()) {
            del.close();
            del.setSql(
                QStringLiteral("DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE "
                               "HCL_PK_HISTORICOCUSTOLIQUIDO = :LISTA2_PK_CUSTO"));
            del.paramByName(QStringLiteral("LISTA2_PK_CUSTO"))
                .setInteger(
                    pass.fieldByName(QStringLiteral("HCL_PK_HISTORICOCUSTOLIQUIDO")).asInteger());
            del.execSql();
            pass.open();  // the same text and parameters, again
        }
    }
}
