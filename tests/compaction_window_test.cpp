// From the window: the compaction after a cleanup and by hand, the restore of a safety copy, the
// swap only when confirmed with nobody else connected, and a stop that cancels the service.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "support/OperationWindow.h"
#include "support/RunLog.h"
#include "support/Snapshot.h"

namespace {

const QStringList kRichData =
    fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql", "cleanup-docs.sql"});
const QStringList kSmallData = fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"});

// A test database as VORNIX.FDB in a folder of its own, where what is made beside it goes.
struct Folder {
    explicit Folder(const QStringList& fixtures) : tdb(fixtures) {
        QFile::copy(tdb.path(), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    QStringList files(const QString& pattern) const {
        return QDir(dir.path()).entryList({pattern}, QDir::Files);
    }
    TestDatabase tdb;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("VORNIX.FDB"));
};

QMap<QString, QStringList> snapshotOf(const QString& cs) {
    Probe probe(cs);
    return snapshot(probe);
}

class CompactionWindowTest : public OperationWindowTest {
protected:
    void cleanup(const RunAnswer& answer) {
        dialogs.shown.clear();
        dialogs.runAnswers = {answer};
        markAll(window.catalogue(), DatabaseKind::Vornix);
        click("btnIniciar");
    }
    void trigger(const char* action) {
        QAction* a = window.findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
        QApplication::processEvents();
    }
    QString logText() const { return window.logEntries().join(QStringLiteral("\n")); }
};

RunAnswer compacting(RunAnswer::Choice choice = RunAnswer::Choice::Yes) {
    RunAnswer a{choice, false};
    a.compact = true;
    return a;
}

TEST_F(CompactionWindowTest, ACleanRunEndsWithACheckedCompactCopyThatReplacesTheOriginalOnlyOnSim) {
    const struct {
        const char* name;
        RunAnswer answer;
        bool otherConnected;
        bool swap;           // the answer to the swap question
        bool compactMade;    // a compact file is made
        bool questionAsked;  // the swap question is shown
    } cases[] = {
        {"swap refused", compacting(), false, false, true, true},
        {"swap confirmed", compacting(), false, true, true, true},
        {"another program connected", compacting(), true, true, true, false},
        {"simulation", compacting(RunAnswer::Choice::Simulate), false, true, false, false},
        {"box unticked", kRun, false, true, false, false},
    };
    bool ticked = false;  // unticked at first, then as last answered
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Folder folder(kRichData);
        path()->setText(folder.path);
        std::unique_ptr<Database> other;
        dialogs.confirmAnswers = {c.swap};
        if (c.otherConnected) {
            dialogs.confirmAnswers.prepend(true);  // go on with another program connected
            other = std::make_unique<Database>(sysdbaLogin());
            other->setConnectionString(folder.path);
            other->open();
        }
        cleanup(c.answer);
        other.reset();
        ASSERT_FALSE(dialogs.shown.isEmpty());
        EXPECT_EQ(dialogs.shown.first().compactTicked, std::optional<bool>(ticked));
        ticked = c.answer.compact;
        const QStringList made = folder.files(QStringLiteral("VORNIX-compactado-*.fdb"));
        const QStringList aside = folder.files(QStringLiteral("VORNIX-antes-da-compactacao-*.fdb"));
        const bool asked =
            dialogs.texts(QStringLiteral("confirm"))
                .contains(QStringLiteral("Usar o banco compactado no lugar do original?"));
        EXPECT_EQ(asked, c.questionAsked) << runlog::lines(window.logEntries());
        if (asked) {
            EXPECT_FALSE(dialogs.shown.last().defaultYes);
        }
        EXPECT_EQ(folder.files(QStringLiteral("*.fbk")), QStringList());
        const bool swapped = c.compactMade && c.questionAsked && c.swap;
        EXPECT_EQ(aside.size(), swapped ? 1 : 0);
        EXPECT_EQ(made.size(), c.compactMade && !swapped ? 1 : 0);
        if (!c.compactMade) {
            EXPECT_FALSE(logText().contains(QStringLiteral("compactado")));
            continue;
        }
        EXPECT_TRUE(logText().contains(QStringLiteral("conferem com o original")))
            << logText().toStdString();
        if (swapped) {
            // The compact database opens under the original's name and holds the cleaned data.
            EXPECT_EQ(snapshotOf(folder.path), snapshotOf(folder.dir.filePath(aside.first())));
            EXPECT_LT(QFileInfo(folder.path).size(),
                      QFileInfo(folder.dir.filePath(aside.first())).size());
        } else {
            EXPECT_EQ(snapshotOf(folder.dir.filePath(made.first())), snapshotOf(folder.path));
        }
    }
}

TEST_F(CompactionWindowTest, ARestoredSafetyCopyEqualsTheDatabaseBeforeItsRun) {
    Folder folder(kSmallData);
    path()->setText(folder.path);
    const auto before = snapshotOf(folder.path);
    dialogs.inputAnswers = {QStringLiteral("3002")};
    dialogs.runAnswers = {{RunAnswer::Choice::Yes, true}};
    click("btn_Remover_Usuario");
    const QStringList copies = folder.files(QStringLiteral("*.fbk"));
    ASSERT_EQ(copies.size(), 1);
    ASSERT_NE(snapshotOf(folder.path), before);

    dialogs.shown.clear();
    dialogs.openAnswers = {folder.dir.filePath(copies.first())};
    dialogs.confirmAnswers = {true, true};  // restore; swap
    trigger("act_RestaurarCopia");
    ASSERT_EQ(dialogs.texts(QStringLiteral("open")), QStringList{folder.dir.path()});
    EXPECT_TRUE(logText().contains(QStringLiteral("Cópia restaurada em")))
        << logText().toStdString();
    EXPECT_EQ(snapshotOf(folder.path), before);
    EXPECT_EQ(folder.files(QStringLiteral("VORNIX-antes-da-restauracao-*.fdb")).size(), 1);
    EXPECT_TRUE(button("btnIniciar")->isEnabled());
}

TEST_F(CompactionWindowTest, PararCancelsACompactionByHandAndLeavesNothingBeside) {
    Folder folder(kRichData);
    path()->setText(folder.path);
    const auto before = snapshotOf(folder.path);
    bool asked = false;
    window.onRefresh = [&] {
        if (asked || !window.session().inServiceStep()) return;
        asked = true;
        click("btn_Parar");
    };
    dialogs.confirmAnswers = {true, true};  // compact; stop
    trigger("act_CompactarAgora");
    window.onRefresh = nullptr;
    EXPECT_TRUE(asked);
    EXPECT_TRUE(logText().contains(QStringLiteral("parada pelo usuário")))
        << logText().toStdString();
    EXPECT_EQ(folder.files(QStringLiteral("VORNIX-*")), QStringList());
    EXPECT_EQ(snapshotOf(folder.path), before);
    EXPECT_TRUE(button("btnIniciar")->isEnabled());
}

}  // namespace
