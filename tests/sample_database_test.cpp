// The sample databases a technician meets first: built by the script, never overwritten, and
// every operation runs on them without a failure.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "catalogue/Paths.h"
#include "cleanup/CleanupRun.h"
#include "removals/Establishment.h"
#include "removals/Location99.h"
#include "removals/User.h"
#include "support/CatalogueMarks.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"

namespace {

// Runs the script; its output, or the empty text when it failed (the failure is reported).
QString runScript() {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral(DEPURIX_SOURCE_DIR "/scripts/make-sample-databases.sh"), {});
    // Mostly waiting for the disk (isql commits with forced writes): on a busy machine, minutes.
    const bool finished = p.waitForFinished(240000);
    const QString output = QString::fromUtf8(p.readAll());
    if (!finished || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "make-sample-databases.sh failed:\n" << output.toStdString();
        return QString();
    }
    return output;
}

class SampleDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(runScript().isEmpty()); }

    // A copy of the sample, so that each operation starts from the same data.
    QString copyOf(DatabaseKind kind) {
        const QString copy = dir.filePath(QStringLiteral("copia.fdb"));
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(defaultDatabasePath(kind), copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        return copy;
    }
    QDir dir{QDir::homePath()};
    FakeView view;
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
};

TEST_F(SampleDatabaseTest, TheScriptCreatesBothDatabasesAndNeverOverwritesThem) {
    const QFileInfo erp(defaultDatabasePath(DatabaseKind::Vornix)),
        pdv(defaultDatabasePath(DatabaseKind::Pdv));
    ASSERT_TRUE(erp.exists());
    ASSERT_TRUE(pdv.exists());
    const QDateTime erpTime = erp.lastModified(), pdvTime = pdv.lastModified();
    const QString again = runScript();
    EXPECT_EQ(again.count(QStringLiteral("já existe")), 2) << again.toStdString();
    EXPECT_EQ(QFileInfo(erp.filePath()).lastModified(), erpTime);
    EXPECT_EQ(QFileInfo(pdv.filePath()).lastModified(), pdvTime);
}

TEST_F(SampleDatabaseTest, EveryOperationRunsOnTheErpSampleWithoutAFailure) {
    MemTable catalogue;
    markAll(catalogue, DatabaseKind::Vornix);
    view.path = copyOf(DatabaseKind::Vornix);
    LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);
    EXPECT_TRUE(runlog::failures(view.log).isEmpty()) << "cleanup:\n"
                                                      << runlog::lines(runlog::failures(view.log));
    EXPECT_EQ(runlog::purgedTables(view.log).size(), 274);

    view.path = copyOf(DatabaseKind::Vornix);
    dialogs.inputAnswers = {QStringLiteral("5001")};
    dialogs.confirmAnswers = {true};
    RemoverEstabelecimento(session, dialogs);
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << "establishment:\n" << runlog::lines(view.log);

    view.path = copyOf(DatabaseKind::Vornix);
    RemoverLocal99(session, dialogs, kRealNoCopy);
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << "location 99:\n" << runlog::lines(view.log);

    view.path = copyOf(DatabaseKind::Vornix);
    RemoverUsuario(session, 3002, kRealNoCopy);
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << "user:\n" << runlog::lines(view.log);
    EXPECT_TRUE(dialogs.errors().isEmpty());
}

TEST_F(SampleDatabaseTest, TheCleanupRunsOnThePdvSampleWithoutAFailure) {
    MemTable catalogue;
    markAll(catalogue, DatabaseKind::Pdv);
    view.path = copyOf(DatabaseKind::Pdv);
    LimparTabelas(session, catalogue, DatabaseKind::Pdv, kRealNoCopy);
    EXPECT_TRUE(runlog::failures(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_EQ(runlog::purgedTables(view.log).size(), 47);
}

}  // namespace
