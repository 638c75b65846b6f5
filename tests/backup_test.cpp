// The backup made before a run: through the service manager of the embedded engine and of the
// tests' own server, restored with gbak, and what is told when it cannot be made.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <thread>

#include "base/Error.h"
#include "db/Backup.h"
#include "frame/OtherAttachments.h"
#include "support/FailureOf.h"
#include "support/RunLog.h"
#include "support/Snapshot.h"
#include "support/TempMount.h"
#include "support/TestDatabase.h"
#include "support/TestServer.h"
#include "support/WindowFixture.h"

namespace {

// A test database as VORNIX.FDB in a folder of its own, where its backups go.
struct Folder {
    explicit Folder(const QStringList& fixtures) : tdb(fixtures) {
        QFile::copy(tdb.path(), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    TestDatabase tdb;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("VORNIX.FDB"));
};

// Restores as the README tells the technician to; gives gbak's complaint, empty when it worked.
QString restore(const QString& backupFile, const QString& newDatabase) {
    QProcess gbak;
    gbak.setProcessChannelMode(QProcess::MergedChannels);
    gbak.start(QStringLiteral("gbak"),
               {QStringLiteral("-c"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                QStringLiteral("-password"), sysdbaLogin().password, backupFile, newDatabase});
    if (!gbak.waitForFinished(120000) || gbak.exitCode() != 0)
        return QStringLiteral("gbak: ") + QString::fromUtf8(gbak.readAll());
    return {};
}

QByteArray contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList kRichData =
    fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql", "cleanup-docs.sql"});
const QStringList kSmallData = fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"});

TEST(BackupNames, TheServiceManagerAndTheFileFollowTheConnectionAndTheServersPath) {
    const struct {
        const char* connection;
        const char* serviceManager;
        bool onThisMachine;
    } connections[] = {
        {"/dados/VORNIX.FDB", "service_mgr", true},
        {"C:\\KEMB\\VORNIX\\BD\\VORNIX.FDB", "service_mgr", true},
        {"servidor/3050:/dados/VORNIX.FDB", "servidor/3050:service_mgr", false},
        {"servidor:C:\\KEMB\\VORNIX\\BD\\VORNIX.FDB", "servidor:service_mgr", false},
        {"192.168.0.10/3051:VORNIX", "192.168.0.10/3051:service_mgr", false},
        {"localhost:/dados/VORNIX.FDB", "localhost:service_mgr", true},
        {"127.0.0.1/3050:/dados/VORNIX.FDB", "127.0.0.1/3050:service_mgr", true},
        {"[::1]/3050:/dados/VORNIX.FDB", "[::1]/3050:service_mgr", true},
        {"[fe80::1]:/dados/VORNIX.FDB", "[fe80::1]:service_mgr", false},
        {"inet://servidor:3050/C:\\KEMB\\VORNIX\\BD\\VORNIX.FDB",
         "inet://servidor:3050/service_mgr", false},
        {"inet://localhost//dados/VORNIX.FDB", "inet://localhost/service_mgr", true},
    };
    for (const auto& c : connections) {
        const QString cs = QString::fromUtf8(c.connection);
        EXPECT_EQ(backup::serviceManager(cs), QString::fromUtf8(c.serviceManager)) << c.connection;
        EXPECT_EQ(backup::isOnThisMachine(cs), c.onThisMachine) << c.connection;
    }

    const QDateTime when(QDate(2026, 12, 10), QTime(14, 30, 5));
    const struct {
        const char* database;
        QStringList taken;
        const char* backup;
    } names[] = {
        {"/dados/VORNIX.FDB", {}, "/dados/VORNIX-20261210-143005.fbk"},
        {"C:\\KEMB\\VORNIX\\BD\\VORNIX.FDB",
         {},
         "C:\\KEMB\\VORNIX\\BD\\VORNIX-20261210-143005.fbk"},
        {"/dados/pdv.v2/PDV", {}, "/dados/pdv.v2/PDV-20261210-143005.fbk"},
        {"/dados/VORNIX.FDB",
         {QStringLiteral("/dados/VORNIX-20261210-143005.fbk"),
          QStringLiteral("/dados/VORNIX-20261210-143005-2.fbk")},
         "/dados/VORNIX-20261210-143005-3.fbk"},
    };
    for (const auto& n : names)
        EXPECT_EQ(backup::freeFileName(QString::fromUtf8(n.database), when,
                                       [&](const QString& f) { return n.taken.contains(f); }),
                  QString::fromUtf8(n.backup));
}

TEST(Backup, ACopyRestoresToTheSameRowsAndGeneratorsAndNeverReplacesAFile) {
    TestServer server;
    for (const bool served : {false, true}) {
        SCOPED_TRACE(served ? "through the server" : "embedded");
        Folder folder(kRichData);
        const QString cs = served ? server.connectionString(folder.path) : folder.path;
        {
            Probe probe(cs);
            for (const QString& g : probe.column(
                     QStringLiteral("SELECT FIRST 3 TRIM(RDB$GENERATOR_NAME) FROM RDB$GENERATORS "
                                    "WHERE RDB$SYSTEM_FLAG = 0 ORDER BY 1")))
                probe.scalar(QStringLiteral("SELECT GEN_ID(%1, 41) FROM RDB$DATABASE").arg(g));
        }
        // The names of the coming seconds are taken: the copy gets the next number and leaves
        // those files alone.
        const QDateTime now = QDateTime::currentDateTime();
        QStringList taken;
        for (int s = 0; s < 10; ++s) {
            taken << backup::fileName(folder.path, now.addSecs(s));
            QFile f(taken.last());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("ocupado") == 7);
        }

        Database db(sysdbaLogin());
        db.setConnectionString(cs);
        db.open();
        QStringList lines;
        const BackupResult result = makeBackup(db, [&](const QString& line) {
            if (!line.isEmpty()) lines << line;
        });
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^%1/VORNIX-\\d{8}-\\d{6}-2\\.fbk$")
                                           .arg(QRegularExpression::escape(folder.dir.path())))
                        .match(result.file)
                        .hasMatch())
            << result.file.toStdString();
        EXPECT_GT(result.milliseconds, 0);
        ASSERT_GT(lines.size(), 100);
        EXPECT_TRUE(lines.last().contains(QLatin1String("closing file")))
            << lines.last().toStdString();
        for (const QString& f : taken) EXPECT_EQ(contents(f), "ocupado") << f.toStdString();

        const QString restored = folder.dir.filePath(QStringLiteral("VORNIX-restaurado.fdb"));
        ASSERT_EQ(restore(result.file, restored), QString());
        Probe original(cs), copy(restored);
        EXPECT_EQ(snapshot(copy), snapshot(original));
    }
}

TEST(Backup, ASilentServiceStillCallsBackAboutOnceASecond) {
    TestDatabase tdb(kSmallData);
    TestServer server;
    for (const bool served : {false, true}) {
        SCOPED_TRACE(served ? "through the server" : "embedded");
        // The server named the URL way, which nothing else here uses.
        const QString cs =
            served ? QStringLiteral("inet://127.0.0.1:%1/%2").arg(server.port()).arg(tdb.path())
                   : tdb.path();
        // The service cannot write into a pipe nobody reads yet: it says nothing until the
        // reader comes, two and a half seconds on.
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("VORNIX.fbk"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        qint64 bytes = 0;
        std::thread reader([&] {
            QThread::msleep(2500);
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
            ::fcntl(fd, F_SETFL, 0);
            char block[65536];
            for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;) bytes += n;
            ::close(fd);
        });
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longestGap = 0;
        int silences = 0;
        const QString failure = failureOf([&] {
            backup::runBackupService(backup::serviceManager(cs), sysdbaLogin(), tdb.path(), pipe,
                                     [&](const QString& line) {
                                         longestGap = std::max(longestGap, clock.elapsed() - last);
                                         last = clock.elapsed();
                                         if (line.isEmpty()) ++silences;
                                     });
        });
        reader.join();
        EXPECT_EQ(failure, QStringLiteral("(no error)"));
        EXPECT_GE(silences, 2);
        EXPECT_LT(longestGap, 1800);  // the server's timeout counts whole seconds
        EXPECT_GT(bytes, 0);
    }
}

// The server's own words reach the caller, nothing half-written stays behind, and the database
// is as it was.
TEST(BackupFailure, AReadOnlyFolderAndAFullDiskAreToldAndChangeNothing) {
    const struct {
        const char* name;
        qint64 spare;  // room left on the file system beside the database
        bool readOnly;
        const char* message;
    } cases[] = {
        {"read-only folder", 1 << 20, true, "cannot open backup file"},
        {"full disk", 0, false, "free disk space exhausted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestDatabase tdb(kSmallData);
        TempMount fs(QStringLiteral("mode=0700"), QFileInfo(tdb.path()).size() + c.spare + 65536);
        if (!fs.ok()) GTEST_SKIP() << "this machine does not let tests mount file systems";
        const QString path = fs.path(QStringLiteral("VORNIX.FDB"));
        if (c.readOnly) {
            // The folder refuses new files; the database, bound from elsewhere, stays writable.
            ASSERT_TRUE(fs.bindFile(tdb.path(), QStringLiteral("VORNIX.FDB")));
            ASSERT_TRUE(fs.remountReadOnly());
        } else {
            ASSERT_TRUE(QFile::copy(tdb.path(), path));
            QFile filler(fs.path(QStringLiteral("enchimento")));
            ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size()) {
            }
        }
        QMap<QString, QStringList> before;
        {
            Probe probe(path);
            before = snapshot(probe);
        }
        Database db(sysdbaLogin());
        db.setConnectionString(path);
        db.open();
        const QString failure = failureOf([&] { makeBackup(db, nullptr); });
        EXPECT_TRUE(failure.contains(QLatin1String(c.message))) << failure.toStdString();
        EXPECT_EQ(QDir(fs.path(QString())).entryList({QStringLiteral("*.fbk")}), QStringList());
        db.close();
        Probe probe(path);
        EXPECT_EQ(snapshot(probe), before);
    }
}

TEST(BackupFailure, AWrongServerOrPasswordAMissingDatabaseAndADeadServerAreToldInTheServersWords) {
    TestDatabase tdb(kSmallData);
    TestServer server;
    const QString service = backup::serviceManager(server.connectionString(tdb.path()));
    LoginParams wrongPassword = sysdbaLogin();
    wrongPassword.password = QStringLiteral("errada");
    const struct {
        QString serviceManager;
        LoginParams login;
        QString database;
        const char* message;
    } cases[] = {
        {QStringLiteral("127.0.0.1/%1:service_mgr").arg(server.port() == 1 ? 2 : 1), sysdbaLogin(),
         tdb.path(), "Unable to complete network request"},
        {service, wrongPassword, tdb.path(), "user name and password are not defined"},
        {service, sysdbaLogin(), tdb.path() + QStringLiteral(".nada"), "No such file"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString failure = failureOf([&] {
            backup::runBackupService(c.serviceManager, c.login, c.database,
                                     dir.filePath(QStringLiteral("copia.fbk")), nullptr);
        });
        EXPECT_TRUE(failure.contains(QLatin1String(c.message))) << failure.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList());

    // Attached, and then the server is gone before the copy starts.
    Database db(sysdbaLogin());
    db.setConnectionString(server.connectionString(tdb.path()));
    db.open();
    server.kill();
    const QString failure = failureOf([&] { makeBackup(db, nullptr); });
    EXPECT_TRUE(failure.contains(QLatin1String("network"), Qt::CaseInsensitive) ||
                failure.contains(QLatin1String("connection"), Qt::CaseInsensitive))
        << failure.toStdString();
    db.close();
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("SCA_SENHA")), 3);
}

// On another machine a name is looked for through the server itself: the service would overwrite.
TEST(Backup, AFileOfAServerIsLookedForThroughTheServer) {
    Folder folder(kSmallData);
    TestServer server;
    const QString cs = server.connectionString(folder.path);
    const QString copy = folder.dir.filePath(QStringLiteral("VORNIX-copia.fbk"));
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("não é um banco") > 0);
    f.close();
    using backup::NameAnswer;
    EXPECT_EQ(backup::probeName(cs, copy, sysdbaLogin()), NameAnswer::Taken);
    EXPECT_EQ(backup::probeName(cs, folder.path, sysdbaLogin()), NameAnswer::Taken);
    // The system's "not found" comes through the network as text only: not read.
    EXPECT_NE(backup::probeName(cs, copy + QStringLiteral(".nada"), sysdbaLogin()),
              NameAnswer::Taken);
    EXPECT_EQ(backup::probeName(folder.path, copy + QStringLiteral(".nada"), sysdbaLogin()),
              NameAnswer::Free);
    LoginParams wrong = sysdbaLogin();
    wrong.password = QStringLiteral("errada");
    EXPECT_THROW(backup::probeName(cs, copy, wrong), fb::Error);
    EXPECT_EQ(contents(copy), QByteArray("não é um banco"));
}

// The answers as servers send them: codes decide, texts in any language never do.
TEST(Backup, ANameIsDecidedByStatusCodesWhateverTheServersLanguage) {
    const auto text = [](const char* t) { return intptr_t(t); };
    const intptr_t open = intptr_t("open");
    const intptr_t file = intptr_t("/dados/VORNIX-20261210-143005.fbk");
    const struct {
        const char* what;
        std::vector<intptr_t> status;
        backup::NameAnswer answer;
    } cases[] = {
        {"Linux, local: ENOENT",
         {isc_arg_gds, isc_io_error, isc_arg_string, open, isc_arg_string, file, isc_arg_gds,
          isc_io_open_err, isc_arg_unix, 2, isc_arg_end},
         backup::NameAnswer::Free},
        {"Windows, local: file not found",
         {isc_arg_gds, isc_io_error, isc_arg_string, open, isc_arg_string, file, isc_arg_gds,
          isc_io_open_err, isc_arg_win32, 2, isc_arg_end},
         backup::NameAnswer::Free},
        {"Windows, local: path not found",
         {isc_arg_gds, isc_io_error, isc_arg_string, open, isc_arg_string, file, isc_arg_gds,
          isc_io_open_err, isc_arg_win32, 3, isc_arg_end},
         backup::NameAnswer::Free},
        {"Linux server through the network",
         {isc_arg_gds, isc_io_error, isc_arg_string, open, isc_arg_string, file, isc_arg_gds,
          isc_io_open_err, isc_arg_interpreted, text("No such file or directory"), isc_arg_end},
         backup::NameAnswer::Unknown},
        {"Windows server in Portuguese through the network",
         {isc_arg_gds, isc_io_error, isc_arg_string, open, isc_arg_string, file, isc_arg_gds,
          isc_io_open_err, isc_arg_interpreted,
          text("O sistema não pode encontrar o arquivo especificado."), isc_arg_end},
         backup::NameAnswer::Unknown},
        {"Linux, local: access denied",
         {isc_arg_gds, isc_io_error, isc_arg_string, open, isc_arg_string, file, isc_arg_gds,
          isc_io_open_err, isc_arg_unix, 13, isc_arg_end},
         backup::NameAnswer::Unknown},
        {"a file that is not a database",
         {isc_arg_gds, isc_bad_db_format, isc_arg_string, file, isc_arg_end},
         backup::NameAnswer::Taken},
        {"a file that opened and could not be read",
         {isc_arg_gds, isc_io_error, isc_arg_string, intptr_t("read"), isc_arg_string, file,
          isc_arg_gds, isc_io_read_err, isc_arg_win32, 38, isc_arg_end},
         backup::NameAnswer::Taken},
    };
    for (const auto& c : cases) EXPECT_EQ(backup::nameAnswer(c.status.data()), c.answer) << c.what;
}

// Names chosen on a server carry a random part after the date and time.
TEST(Backup, NamesOnAnotherMachineCarryARandomPart) {
    const QDateTime when(QDate(2026, 12, 10), QTime(14, 30, 5));
    const QString a = backup::freeFileName(
        QStringLiteral("C:\\KEMB\\VORNIX\\BD\\VORNIX.FDB"), when,
        [](const QString&) { return false; }, backup::randomTag());
    EXPECT_TRUE(QRegularExpression(
                    QStringLiteral(
                        "^C:\\\\KEMB\\\\VORNIX\\\\BD\\\\VORNIX-20261210-143005-[0-9a-z]{6}\\.fbk$"))
                    .match(a)
                    .hasMatch())
        << a.toStdString();
    EXPECT_NE(backup::randomTag(), backup::randomTag());
}

// From the window: the copy before a real run, none before a simulation, and a refused copy or a
// refused warning about other programs that leave the database as it was.
class SafetyCopyTest : public WindowTest {
protected:
    void removeUser(const RunAnswer& answer) {
        dialogs.shown.clear();
        dialogs.inputAnswers = {QStringLiteral("3002")};
        dialogs.runAnswers = {answer};
        click("btn_Remover_Usuario");
    }
    QStringList copiesIn(const QString& folder) {
        return QDir(folder).entryList({QStringLiteral("*.fbk")});
    }
};

TEST_F(SafetyCopyTest, ARealRunLeavesARestorableCopyBesideTheDatabaseAndSaysWhere) {
    Folder folder(kSmallData);
    path()->setText(folder.path);
    QMap<QString, QStringList> before;
    {
        Probe probe(folder.path);
        before = snapshot(probe);
    }
    removeUser({RunAnswer::Choice::Simulate, true});
    EXPECT_TRUE(dialogs.shown.last().backupTicked);  // ticked until the technician unticks it
    EXPECT_EQ(copiesIn(folder.dir.path()), QStringList());  // a simulation needs no copy

    removeUser({RunAnswer::Choice::Yes, true});
    const QStringList copies = copiesIn(folder.dir.path());
    ASSERT_EQ(copies.size(), 1);
    const QString copy = folder.dir.filePath(copies.first());
    const QStringList log = window.logEntries();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.first().startsWith(QStringLiteral("Cópia de segurança gravada em ") + copy))
        << log.first().toStdString();
    EXPECT_EQ(Probe(folder.path)
                  .count(QStringLiteral("SELECT COUNT(*) FROM SCA_SENHA WHERE "
                                        "SEN_CODIGO = 3002")),
              0);  // and the run went on

    const QString restored = folder.dir.filePath(QStringLiteral("VORNIX-restaurado.fdb"));
    ASSERT_EQ(restore(copy, restored), QString());
    Probe copyProbe(restored);
    EXPECT_EQ(snapshot(copyProbe), before);

    removeUser({RunAnswer::Choice::No, false});
    removeUser({RunAnswer::Choice::No, false});
    EXPECT_FALSE(dialogs.shown.last().backupTicked);  // the window keeps the last state
}

TEST_F(SafetyCopyTest, ACopyThatFailsStopsTheRunBeforeItsFirstStatement) {
    TestDatabase tdb(kSmallData);
    TempMount fs(QStringLiteral("mode=0700"), QFileInfo(tdb.path()).size() + (1 << 20));
    if (!fs.ok()) GTEST_SKIP() << "this machine does not let tests mount file systems";
    ASSERT_TRUE(fs.bindFile(tdb.path(), QStringLiteral("VORNIX.FDB")));
    ASSERT_TRUE(fs.remountReadOnly());
    const QString path = fs.path(QStringLiteral("VORNIX.FDB"));
    this->path()->setText(path);
    QMap<QString, QStringList> before;
    {
        Probe probe(path);
        before = snapshot(probe);
    }
    int sent = 0;
    window.session().DB_GERAL.setTrace(
        [&](const TraceEntry& e) { sent += e.kind == TraceEntry::Kind::Statement; });
    removeUser({RunAnswer::Choice::Yes, true});
    const QStringList log = window.logEntries();
    ASSERT_EQ(log.size(), 1) << runlog::lines(log);
    EXPECT_TRUE(log.first().startsWith(QStringLiteral("Falha ao fazer a cópia de segurança")));
    EXPECT_TRUE(log.first().contains(QStringLiteral("cannot open backup file")));
    EXPECT_EQ(sent, 0);
    EXPECT_TRUE(button("btnIniciar")->isEnabled());
    Probe probe(path);
    EXPECT_EQ(snapshot(probe), before);
}

TEST_F(SafetyCopyTest, AnotherProgramConnectedIsListedAndNaoChangesNothing) {
    TestDatabase tdb(kSmallData);
    TestServer server;
    const QString served = server.connectionString(tdb.path());
    path()->setText(served);
    auto other = std::make_unique<Database>(sysdbaLogin());
    other->setConnectionString(served);
    other->open();

    dialogs.confirmAnswers = {false};
    removeUser({RunAnswer::Choice::Yes, false});
    ASSERT_EQ(dialogs.texts(QStringLiteral("confirm")).size(), 2);
    const ScriptedDialogs::Shown question = dialogs.shown.last();
    EXPECT_FALSE(question.defaultYes);
    EXPECT_TRUE(question.text.contains(QStringLiteral("SYSDBA - 127.0.0.1")))
        << question.text.toStdString();
    EXPECT_EQ(window.logEntries(), QStringList{otherAttachmentsRefused()});
    EXPECT_EQ(Probe(served).count(QStringLiteral("SCA_SENHA")), 3);

    other.reset();  // the other program goes: no question, the run runs
    removeUser({RunAnswer::Choice::Yes, false});
    EXPECT_EQ(dialogs.texts(QStringLiteral("confirm")).size(), 1);
    EXPECT_EQ(Probe(served).count(QStringLiteral("SCA_SENHA")), 2);
}

// A copy takes minutes: who is connected is read again after it, and only a newcomer is asked
// about.
TEST_F(SafetyCopyTest, WhoeverConnectsDuringTheCopyIsAskedAboutBeforeTheFirstStatement) {
    TestServer server;
    for (const bool newcomer : {false, true}) {
        SCOPED_TRACE(newcomer ? "someone connects during the copy" : "the same one is there");
        Folder folder(kSmallData);
        const QString served = server.connectionString(folder.path);
        path()->setText(served);
        Database early(sysdbaLogin()), late(sysdbaLogin());
        early.setConnectionString(served);
        late.setConnectionString(served);
        if (!newcomer) early.open();
        window.onRefresh = [&] {
            if (newcomer && !late.isConnected() &&
                window.statusText().startsWith(QStringLiteral("Fazendo a cópia")))
                late.open();
        };
        dialogs.confirmAnswers = {!newcomer};
        removeUser({RunAnswer::Choice::Yes, true});
        window.onRefresh = nullptr;
        const QStringList questions = dialogs.texts(QStringLiteral("confirm"));
        ASSERT_EQ(questions.size(), 2) << runlog::lines(window.logEntries());
        EXPECT_EQ(questions[1].startsWith(QStringLiteral("Enquanto a cópia de segurança")),
                  newcomer);
        EXPECT_EQ(copiesIn(folder.dir.path()).size(), 1);
        EXPECT_EQ(Probe(served).count(QStringLiteral("SCA_SENHA")), newcomer ? 3 : 2);
        if (newcomer) {
            EXPECT_EQ(window.logEntries().last(), otherAttachmentsJoinedRefused());
        }
    }
}

}  // namespace
