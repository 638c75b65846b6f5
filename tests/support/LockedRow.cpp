#include "support/LockedRow.h"

#include <gtest/gtest.h>

#include "support/RunLog.h"
#include "support/TestDatabase.h"

LockedRow::LockedRow(const QString& connectionString) : db(sysdbaLogin()) {
    db.setConnectionString(connectionString);
    db.open();
    update.setSql(
        QStringLiteral("UPDATE SCA_CLIENTE SET CLI_CODIGO_USUARIO = 3003 WHERE ID = 3061"));
    update.execSql();
}

void expectTheLockedRowsFailures(const QStringList& log) {
    const QStringList body = runlog::body(log);
    ASSERT_EQ(body.size(), 2) << runlog::lines(log);
    EXPECT_TRUE(body[0].contains(QStringLiteral("UPDATE SCA_CLIENTE")));
    EXPECT_TRUE(body[0].contains(QStringLiteral("conflict"), Qt::CaseInsensitive) ||
                body[0].contains(QStringLiteral("deadlock"), Qt::CaseInsensitive))
        << body[0].toStdString();
    EXPECT_TRUE(body[1].contains(QStringLiteral("DELETE FROM SCA_SENHA WHERE SEN_CODIGO = 3002")));
}
