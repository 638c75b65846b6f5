// The Firebird layer against real embedded databases.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <optional>

#include "db/Database.h"
#include "db/NamedParams.h"
#include "db/Win1252.h"
#include "frame/Session.h"
#include "support/TestDatabase.h"

namespace {

const char* kScratchTable =
    "CREATE TABLE T (ID INTEGER NOT NULL PRIMARY KEY, NOME VARCHAR(40), QTD INTEGER, "
    "VALOR NUMERIC(10,2), DT TIMESTAMP)";

struct Connected {
    explicit Connected(const QString& path) : db(sysdbaLogin()), tr(db), q(db, tr) {
        db.setConnectionString(path);
        db.open();
    }
    Database db;
    Transaction tr;
    Query q;
};

class DbTest : public ::testing::Test {
protected:
    void SetUp() override {
        Probe probe(tdb.path());
        probe.exec(QString::fromLatin1(kScratchTable));
        probe.exec(
            QStringLiteral("INSERT INTO T VALUES (1, 'Ação €', 7, 12.5, '2019-03-07 10:20:30')"));
        probe.exec(QStringLiteral("INSERT INTO T VALUES (2, NULL, NULL, NULL, NULL)"));
    }
    TestDatabase tdb;
};

TEST_F(DbTest, RunsOnFirebird3) {
    Connected c(tdb.path());
    c.q.setSql(QStringLiteral(
        "SELECT rdb$get_context('SYSTEM', 'ENGINE_VERSION') AS V FROM RDB$DATABASE"));
    c.q.open();
    EXPECT_TRUE(c.q.fieldByName(QStringLiteral("V")).asString().startsWith(QStringLiteral("3.")));
}

TEST_F(DbTest, ReadsColumnsByNameAndNullsAsEmptyZeroAndZeroDate) {
    Connected c(tdb.path());
    c.q.setSql(QStringLiteral("SELECT ID, NOME, QTD, VALOR, DT FROM T ORDER BY ID"));
    c.q.open();
    ASSERT_FALSE(c.q.eof());
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("nome")).asString(), QStringLiteral("Ação €"));
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("QTD")).asInteger(), 7);
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("VALOR")).asString(), QStringLiteral("12.50"));
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("DT")).asDateTime(),
              QDateTime(QDate(2019, 3, 7), QTime(10, 20, 30), Qt::UTC));
    c.q.next();
    ASSERT_FALSE(c.q.eof());
    EXPECT_TRUE(c.q.fieldByName(QStringLiteral("NOME")).isNull());
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("NOME")).asString(), QString());
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("QTD")).asInteger(), 0);
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("DT")).asDateTime().date(), QDate(1899, 12, 30));
    c.q.next();
    EXPECT_TRUE(c.q.eof());
    EXPECT_EQ(c.q.recordCount(), 2);
    EXPECT_THROW(c.q.fieldByName(QStringLiteral("NOME")), fb::Error);
}

TEST_F(DbTest, FetchAllCountsEveryRowAndFirstGoesBack) {
    Connected c(tdb.path());
    c.q.setSql(QStringLiteral("SELECT ID FROM T ORDER BY ID"));
    c.q.open();
    EXPECT_EQ(c.q.fetchAll(), 2);
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("ID")).asInteger(), 1);  // the current row stays
    c.q.next();
    c.q.first();
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("ID")).asInteger(), 1);
    EXPECT_THROW(c.q.fieldByName(QStringLiteral("NOPE")), fb::Error);
}

TEST_F(DbTest, NamedParametersBindEveryOccurrenceAndSkipQuotedText) {
    Connected c(tdb.path());
    c.q.setSql(
        QStringLiteral("SELECT COUNT(*) AS N FROM T WHERE (ID = :K OR QTD = :K) AND NOME <> ':K' "
                       "AND DT = :D /* :X */"));
    c.q.paramByName(QStringLiteral("k")).setInteger(7);
    c.q.paramByName(QStringLiteral("D"))
        .setDateTime(QDateTime(QDate(2019, 3, 7), QTime(10, 20, 30), Qt::UTC));
    c.q.open();
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("N")).asInteger(), 1);
    EXPECT_THROW(c.q.paramByName(QStringLiteral("X")), fb::Error);

    c.q.setSql(QStringLiteral("DELETE FROM T WHERE ID = :ID"));
    c.q.paramByName(QStringLiteral("ID")).setInteger(2);
    c.q.execSql();
    c.tr.commit();
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("T")), 1);
}

TEST_F(DbTest, ADateTimeReadIsBoundBackToTheTenthOfAMillisecond) {
    Probe(tdb.path())
        .exec(QStringLiteral("UPDATE T SET DT = '2019-03-07 10:20:30.1234' WHERE ID = 1"));
    Connected c(tdb.path());
    c.q.setSql(QStringLiteral("SELECT DT FROM T WHERE ID = 1"));
    c.q.open();
    const Value read = c.q.fieldByName(QStringLiteral("DT"));
    EXPECT_EQ(read.tenthsOfMillisecond(), 4);
    c.q.setSql(QStringLiteral("SELECT COUNT(*) AS N FROM T WHERE DT = :D"));
    c.q.paramByName(QStringLiteral("D")).setDateTime(read);
    c.q.open();
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("N")).asInteger(), 1);
}

TEST_F(DbTest, TheTraceSeesStatementsWithTheirValuesAndCommits) {
    Connected c(tdb.path());
    QStringList seen;
    c.db.setTrace([&](const TraceEntry& e) { seen << e.literal(); });
    c.q.setSql(
        QStringLiteral("SELECT ID FROM T WHERE ID = :K OR DT = :D OR QTD = :K OR NOME = ':K'"));
    c.q.paramByName(QStringLiteral("K")).setInteger(-3);
    c.q.paramByName(QStringLiteral("D"))
        .setDateTime(QDateTime(QDate(2019, 3, 7), QTime(10, 20, 30, 5), Qt::UTC));
    c.q.open();
    c.q.setSql(QStringLiteral("DELETE FROM T WHERE ID = 2"));
    c.q.execSql();
    c.tr.commit();
    EXPECT_EQ(
        seen,
        (QStringList{
            QStringLiteral("SELECT ID FROM T WHERE ID = -3 OR DT = '2019-03-07 10:20:30.0050' "
                           "OR QTD = -3 OR NOME = ':K'"),
            QStringLiteral("DELETE FROM T WHERE ID = 2"), QStringLiteral("COMMIT")}));
}

TEST_F(DbTest, AnUnchangedTextIsPreparedOnceAndBindsEveryValueEachTime) {
    Connected c(tdb.path());
    Probe(tdb.path()).exec(QStringLiteral("INSERT INTO T (ID, QTD) VALUES (3, 7)"));
    auto countWithQtd = [&](std::optional<int> qtd) {
        c.q.setSql(QStringLiteral("SELECT COUNT(*) AS N FROM T WHERE QTD = :Q OR ID = :Q"));
        if (qtd)
            c.q.paramByName(QStringLiteral("Q")).setInteger(*qtd);
        else
            c.q.paramByName(QStringLiteral("Q")).clear();
        c.q.open();
        return c.q.fieldByName(QStringLiteral("N")).asInteger();
    };
    EXPECT_EQ(countWithQtd(7), 2);
    EXPECT_EQ(countWithQtd(2), 1);
    EXPECT_EQ(countWithQtd(std::nullopt), 0);
    EXPECT_EQ(c.db.requests().prepares, 1);

    for (int id : {1, 3, 99}) {
        c.q.setSql(QStringLiteral("DELETE FROM T WHERE ID = :ID"));
        c.q.paramByName(QStringLiteral("ID")).setInteger(id);
        c.q.execSql();
        EXPECT_EQ(c.q.rowsAffected(), id == 99 ? 0 : 1) << id;
        c.tr.commit();  // a statement outlives the transaction it was prepared in
    }
    EXPECT_EQ(c.db.requests().prepares, 2);
    EXPECT_EQ(c.db.requests().statements, 3);
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("T")), 1);

    // A new attachment needs its own statement.
    c.db.open();
    c.q.setSql(QStringLiteral("DELETE FROM T WHERE ID = :ID"));
    c.q.paramByName(QStringLiteral("ID")).setInteger(2);
    c.q.execSql();
    EXPECT_EQ(c.q.rowsAffected(), 1);
    EXPECT_EQ(c.db.requests().prepares, 3);
}

TEST(StatusWrappers, AFailingCallThrowsAtOnceWithTheClientsMessage) {
    // The first call fails and the second would succeed: checking only after the second would
    // find a clean status.
    fb::ThrowStatus st;
    fb::Ref<Firebird::IMetadataBuilder> builder(fb::master()->getMetadataBuilder(&st, 1));
    try {
        builder->setType(&st, 7, SQL_LONG + 1);
        builder->setType(&st, 0, SQL_LONG + 1);
        FAIL() << "no error";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("7"))) << e.message().toStdString();
    }
    builder->setType(&st, 0, SQL_LONG + 1);  // the status is clean again after the throw
}

TEST(NamedParams, PositionsFollowOccurrences) {
    const PositionalSql p = toPositional(
        QStringLiteral("SELECT ':A', \":B\" FROM X WHERE A = :a AND B = :B_2 -- :C\n AND C = :A"));
    EXPECT_EQ(p.sql,
              QStringLiteral("SELECT ':A', \":B\" FROM X WHERE A = ? AND B = ? -- :C\n AND C = ?"));
    EXPECT_EQ(p.names,
              (QStringList{QStringLiteral("A"), QStringLiteral("B_2"), QStringLiteral("A")}));
    EXPECT_EQ(toPositional(QStringLiteral("SELECT 'it''s :no' FROM R")).names, QStringList());
}

TEST_F(DbTest, FailuresCarryTheClientsOwnMessage) {
    Connected c(tdb.path());
    c.q.setSql(QStringLiteral("DELETE FROM NAO_EXISTE"));
    try {
        c.q.execSql();
        FAIL() << "no error";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Table unknown")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("NAO_EXISTE")));
    }

    Database missing(sysdbaLogin());
    missing.setConnectionString(tdb.path() + QStringLiteral(".missing"));
    EXPECT_THROW(missing.open(), fb::Error);
    EXPECT_FALSE(missing.isConnected());
}

TEST_F(DbTest, AStatementAfterACommitStartsTheTransactionAgain) {
    Connected c(tdb.path());
    c.tr.start();
    c.tr.commit();
    EXPECT_FALSE(c.tr.isActive());
    c.q.setSql(QStringLiteral("UPDATE T SET QTD = 8 WHERE ID = 1"));
    c.q.execSql();
    EXPECT_TRUE(c.tr.isActive());
    EXPECT_EQ(c.db.requests().starts, 2);
}

TEST_F(DbTest, TransactionIsReadCommittedRecordVersionNoWait) {
    Connected c(tdb.path());
    c.tr.start();
    Probe other(tdb.path());

    // Read committed: a row another connection commits later is seen by the running transaction.
    other.exec(QStringLiteral("INSERT INTO T (ID) VALUES (3)"));
    c.q.setSql(QStringLiteral("SELECT COUNT(*) AS N FROM T"));
    c.q.open();
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("N")).asInteger(), 3);

    // A row updated and not yet committed elsewhere: reading gives the last committed version
    // (record version); writing it fails at once (no wait).
    Database lockerDb(sysdbaLogin());
    lockerDb.setConnectionString(tdb.path());
    lockerDb.open();
    Transaction locker(lockerDb);
    Query lock(lockerDb, locker);
    lock.setSql(QStringLiteral("UPDATE T SET QTD = 99 WHERE ID = 1"));
    lock.execSql();

    c.q.setSql(QStringLiteral("SELECT QTD FROM T WHERE ID = 1"));
    c.q.open();
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("QTD")).asInteger(), 7);

    QElapsedTimer timer;
    timer.start();
    c.q.setSql(QStringLiteral("UPDATE T SET QTD = 1 WHERE ID = 1"));
    try {
        c.q.execSql();
        FAIL() << "the locked row was written";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("deadlock")) ||
                    e.message().contains(QStringLiteral("conflict")))
            << e.message().toStdString();
    }
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(DbTest, AttachmentUsesWin1252) {
    Connected c(tdb.path());
    c.q.setSql(QStringLiteral(
        "SELECT TRIM(CS.RDB$CHARACTER_SET_NAME) AS NOME FROM MON$ATTACHMENTS A "
        "JOIN RDB$CHARACTER_SETS CS ON CS.RDB$CHARACTER_SET_ID = A.MON$CHARACTER_SET_ID "
        "WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION"));
    c.q.open();
    EXPECT_EQ(c.q.fieldByName(QStringLiteral("NOME")).asString(), QStringLiteral("WIN1252"));
}

TEST_F(DbTest, CloseLetsEverythingGoWithoutCommitting) {
    Connected c(tdb.path());
    c.q.setSql(QStringLiteral("DELETE FROM T"));
    c.q.execSql();
    c.db.close();
    EXPECT_FALSE(c.db.isConnected());
    EXPECT_FALSE(c.tr.isActive());
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("T")), 2);
}

TEST(Win1252, MapsTheCodePageBothWays) {
    const QByteArray bytes("\x80\x8A\x9F\xC7\xE3\xE9 A", 8);
    const QString text = win1252::decode(bytes);
    EXPECT_EQ(text, QString::fromUtf8("€ŠŸÇãé A"));
    EXPECT_EQ(win1252::encode(text), bytes);
    EXPECT_EQ(win1252::encode(QString::fromUtf8("日")), QByteArray("?"));
    EXPECT_EQ(win1252::encode(QString::fromUtf8("😀")), QByteArray("?"));
    EXPECT_EQ(win1252::decode(QByteArray("\x81", 1)), QString(QChar(0x81)));
}

}  // namespace
