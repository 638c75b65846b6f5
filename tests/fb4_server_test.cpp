// The tool against a Firebird 4.0 server: the same work and the same database as on 3.0, with
// generators that restart to the same next value, and a 4.0 file refused with what to do.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>

#include "cleanup/CleanupRun.h"
#include "frame/OtherAttachments.h"
#include "removals/User.h"
#include "support/FakeView.h"
#include "support/Fb4Server.h"
#include "support/LockedRow.h"
#include "support/OperationWindow.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/Snapshot.h"
#include "support/TestServer.h"

namespace {

// What a 3.0 run sends, as a 4.0 server must get it: only the restarts differ.
QStringList asOn40(QStringList sent) {
    static const QRegularExpression restart(
        QStringLiteral("^ALTER SEQUENCE (\\S+) RESTART WITH 0$"));
    for (QString& s : sent) s.replace(restart, QStringLiteral("SET GENERATOR \\1 TO 0"));
    return sent;
}

class Fb4Test : public OperationWindowTest {
protected:
    void SetUp() override {
        SKIP_WITHOUT_FB4();
        OperationWindowTest::SetUp();
    }
    QStringList sentBy(const Operation& op, const RunAnswer& answer) {
        QStringList sent;
        window.session().DB_GERAL.setTrace([&](const TraceEntry& e) { sent << e.sql; });
        run(op, answer);
        window.session().DB_GERAL.setTrace(nullptr);
        return sent;
    }
};

TEST_F(Fb4Test, EachOperationAndItsSimulationDoOn40ExactlyWhatTheyDoOn30) {
    for (const Operation& op : operations()) {
        SCOPED_TRACE(op.name);
        TestDatabase direct(op.fixtures);
        fb4::ServerDatabase served(op.fixtures);
        Probe here(direct.path()), there(served.connectionString());
        const auto before = snapshot(there);
        ASSERT_EQ(before, snapshot(here));

        path()->setText(served.connectionString());
        run(op, kSimulate);
        EXPECT_TRUE(dialogs.errors().isEmpty()) << dialogs.errors().join(u'\n').toStdString();
        EXPECT_EQ(snapshot(there), before);  // generators included: a simulation restarts none

        path()->setText(direct.path());
        const QStringList on30 = sentBy(op, kRun);
        const QStringList log30 = runlog::body(window.logEntries());
        path()->setText(served.connectionString());
        const QStringList on40 = sentBy(op, kRun);
        EXPECT_EQ(runlog::body(window.logEntries()), log30);
        EXPECT_EQ(on40, asOn40(on30));
        EXPECT_EQ(on40 != on30, QLatin1String(op.name) == QLatin1String("cleanup"));
        EXPECT_TRUE(dialogs.errors().isEmpty()) << dialogs.errors().join(u'\n').toStdString();
        EXPECT_EQ(snapshot(there), snapshot(here));
    }
}

TEST_F(Fb4Test, TheSafetyCopyIsMadeByTheServerBesideTheDatabaseAndRestores) {
    const Operation user = operations().last();
    fb4::ServerDatabase served(user.fixtures);
    QMap<QString, QStringList> before;
    {
        Probe probe(served.connectionString());
        before = snapshot(probe);
    }
    path()->setText(served.connectionString());
    run(user, {RunAnswer::Choice::Yes, true});
    const QStringList log = window.logEntries();
    ASSERT_FALSE(log.isEmpty());
    static const QRegularExpression written(
        QStringLiteral("^Cópia de segurança gravada em /data/(depurix-[^ ]+\\.fbk) "));
    const QRegularExpressionMatch m = written.match(log.first());
    ASSERT_TRUE(m.hasMatch()) << log.first().toStdString();
    const QString name = m.captured(1);
    const QString data = qEnvironmentVariable("DEPURIX_FB4_DATA") + QLatin1Char('/');
    EXPECT_EQ(Probe(served.connectionString()).count(QStringLiteral("SCA_SENHA")), 2);

    // Restored by the same server's service, the copy is the database before the run.
    const QString server = qEnvironmentVariable("DEPURIX_FB4_SERVER");
    const QString restored = QStringLiteral("restaurado-") + name + QStringLiteral(".fdb");
    QProcess gbak;
    gbak.start(QStringLiteral("gbak"),
               {QStringLiteral("-c"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                QStringLiteral("-password"), QStringLiteral("vlemtrasq"), QStringLiteral("-se"),
                server + QStringLiteral(":service_mgr"), QStringLiteral("/data/") + name,
                QStringLiteral("/data/") + restored});
    ASSERT_TRUE(gbak.waitForFinished(60000));
    EXPECT_EQ(gbak.exitCode(), 0) << gbak.readAllStandardError().toStdString();
    {
        Probe copy(server + QStringLiteral(":/data/") + restored);
        EXPECT_EQ(snapshot(copy), before);
    }
    QFile::remove(data + name);
    QFile::remove(data + restored);
}

TEST(Fb4Connections, AnotherProgramIsAskedAboutAndARowItLocksFailsAtOnce) {
    SKIP_WITHOUT_FB4();
    fb4::ServerDatabase served(fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"}));
    const LockedRow locked(served.connectionString());

    FakeView view;
    view.path = served.connectionString();
    ScriptedDialogs dialogs;
    dialogs.confirmAnswers = {false, true};
    Session session(view, dialogs);
    RemoverUsuario(session, 3002, kRealNoCopy);
    EXPECT_EQ(runlog::body(view.log), QStringList{otherAttachmentsRefused()});
    ASSERT_EQ(dialogs.texts(QStringLiteral("confirm")).size(), 1);
    EXPECT_TRUE(dialogs.texts(QStringLiteral("confirm"))
                    .first()
                    .contains(QStringLiteral("SYSDBA - 127.0.0.1")))
        << dialogs.texts(QStringLiteral("confirm")).first().toStdString();

    // 4.0 runs read committed as read consistency; no wait still means no wait.
    QElapsedTimer clock;
    clock.start();
    RemoverUsuario(session, 3002, kRealNoCopy);
    EXPECT_LT(clock.elapsed(), 10000);
    expectTheLockedRowsFailures(view.log);
}

// On a 3.0 server and on a 4.0 one, the first key after a cleanup is 1.
class GeneratorRestartTest : public ::testing::TestWithParam<int> {};

TEST_P(GeneratorRestartTest, AfterARealCleanupEveryGeneratorGivesOneNext) {
    const QStringList fixtures = operations().first().fixtures;
    std::optional<TestServer> server30;
    std::optional<TestDatabase> file30;
    std::optional<fb4::ServerDatabase> on40;
    QString served;
    if (GetParam() == 3) {
        server30.emplace();
        file30.emplace(fixtures);
        served = server30->connectionString(file30->path());
    } else {
        SKIP_WITHOUT_FB4();
        on40.emplace(fixtures);
        served = on40->connectionString();
    }
    FakeView view;
    view.path = served;
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    QStringList restarted;
    static const QRegularExpression restart(
        QStringLiteral("^(?:ALTER SEQUENCE|SET GENERATOR) (\\S+) "));
    session.DB_GERAL.setTrace([&](const TraceEntry& e) {
        if (const auto m = restart.match(e.sql); m.hasMatch()) restarted << m.captured(1);
    });
    MemTable catalogue;
    markAll(catalogue, DatabaseKind::Vornix);
    LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
    EXPECT_TRUE(runlog::failures(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_GT(restarted.size(), 100);

    Probe probe(served);
    const Probe::Hold hold(probe);
    EXPECT_EQ(probe
                  .scalar(QStringLiteral("SELECT RDB$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') "
                                         "FROM RDB$DATABASE"))
                  .toString()
                  .section(QLatin1Char('.'), 0, 0),
              QString::number(GetParam()));
    const QStringList generators =
        probe.column(QStringLiteral("SELECT TRIM(RDB$GENERATOR_NAME) FROM RDB$GENERATORS WHERE "
                                    "RDB$SYSTEM_FLAG = 0"));
    // The point-of-sale generators of the schema are not the ERP cleanup's: they move on.
    for (const QString& g : generators)
        EXPECT_EQ(probe.scalar(QStringLiteral("SELECT NEXT VALUE FOR %1 FROM RDB$DATABASE").arg(g))
                      .toLongLong(),
                  restarted.contains(g) ? 1 : 42)
            << g.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, GeneratorRestartTest, ::testing::Values(3, 4),
                         [](const auto& info) { return "Firebird" + std::to_string(info.param); });

TEST(ServerVersion, TheMajorNumberIsReadFromTheServersTextAndNothingElseCounts) {
    const struct {
        const char* text;
        int major;
    } rows[] = {
        {"LI-V4.0.5.3140 Firebird 4.0", 4},
        {"LI-V3.0.11.33703 Firebird 3.0", 3},
        {"WI-V2.5.9.27139 Firebird 2.5", 2},
        {"LI-T5.0.0.1306 Firebird 5.0 Beta 1", 5},
        {"WI-V10.1.0.1 Firebird 10.1", 10},
        {"  LI-V4.0.0.2496 Firebird 4.0", 4},
        {"Firebird 4.0", 0},
        {"LI-V.0.5", 0},
        {"", 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Database::majorVersion(QString::fromLatin1(r.text)), r.major) << r.text;
}

TEST(ServerVersion, TheAttachmentKnowsItsServerUntilItCloses) {
    SKIP_WITHOUT_FB4();
    TestDatabase local;
    fb4::ServerDatabase served;
    Database db(sysdbaLogin());
    for (const auto& [path, major] : {std::pair{local.path(), 3}, {served.connectionString(), 4}}) {
        db.setConnectionString(path);
        db.open();
        EXPECT_EQ(db.serverMajor(), major);
        EXPECT_TRUE(db.serverVersion().contains(QStringLiteral("-V%1.").arg(major)))
            << db.serverVersion().toStdString();
        db.close();
        EXPECT_EQ(db.serverMajor(), 0);
        EXPECT_EQ(db.serverVersion(), QString());
    }
}

TEST(Fb4File, OpenedAsALocalFileItIsRefusedWithWhatToDoAndTheEnginesWords) {
    SKIP_WITHOUT_FB4();
    fb4::ServerDatabase served(fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"}));
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("VORNIX.FDB"));
    ASSERT_TRUE(QFile::copy(served.file(), local));
    FakeView view;
    view.path = local;
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    RemoverUsuario(session, 3002, kRealNoCopy);
    ASSERT_EQ(runlog::body(view.log).size(), 1) << runlog::lines(view.log);
    const QString entry = runlog::body(view.log).first();
    EXPECT_TRUE(entry.startsWith(
        falhaConexao() +
        QStringLiteral("O arquivo foi criado por uma versão mais nova do Firebird e não pode ser "
                       "aberto como arquivo local. Abra-o pelo servidor que o criou, no formato "
                       "servidor/porta:caminho.\r\n")))
        << entry.toStdString();
    EXPECT_TRUE(entry.contains(QStringLiteral("unsupported on-disk structure")))
        << entry.toStdString();
    EXPECT_EQ(Probe(served.connectionString()).count(QStringLiteral("SCA_SENHA")), 3);
}

}  // namespace
