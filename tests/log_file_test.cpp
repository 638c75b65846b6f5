// Keeping the log: copied whole, or saved to a file from the pane's menu or with Ctrl+S, on the
// real window.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "support/OperationWindow.h"
#include "support/RunLog.h"
#include "support/TempMount.h"

namespace {

class LogFileTest : public OperationWindowTest {
protected:
    void SetUp() override {
        OperationWindowTest::SetUp();
        window.activateWindow();  // Ctrl+S belongs to the active window
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QPlainTextEdit* pane() { return child<QPlainTextEdit>("mmo_Log"); }
    QAction* action(const char* name) { return child<QAction>(name); }
    void pressSave() {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &window, Qt::Key_S, Qt::ControlModifier);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(não abriu)");
    }
    static QStringList files(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir;
};

// A time written to the second, between two instants taken around the save.
void expectWithin(const QString& text, const QString& format, const QDateTime& before,
                  const QDateTime& after) {
    const QDateTime t = QDateTime::fromString(text, format);
    ASSERT_TRUE(t.isValid()) << text.toStdString();
    EXPECT_GE(t, before.addMSecs(-before.time().msec())) << text.toStdString();
    EXPECT_LE(t, after) << text.toStdString();
}

TEST_F(LogFileTest, ASavedLogIsItsHeaderABlankLineAndThePaneWithCrLf) {
    const Operation user = operations().last();
    TestDatabase tdb(user.fixtures);
    path()->setText(tdb.path());
    struct Case {
        const char* name;
        const RunAnswer* answer;  // none: before any operation
        QString database, operation;
    };
    const Case cases[] = {
        {"before any operation", nullptr, QStringLiteral("nenhum"),
         QStringLiteral("nenhuma operação foi iniciada")},
        {"simulation", &kSimulate, tdb.path(), QStringLiteral("Remoção de usuário (simulação)")},
        {"real run", &kRun, tdb.path(), QStringLiteral("Remoção de usuário")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.answer) {
            bool pressed = false;
            window.onRefresh = [&] {  // refused while the log is being written
                if (!std::exchange(pressed, true)) pressSave();
            };
            run(user, *c.answer);
            window.onRefresh = nullptr;
            EXPECT_TRUE(pressed);
            EXPECT_TRUE(dialogs.texts(QStringLiteral("save")).isEmpty());
            ASSERT_FALSE(runlog::summary(window.logEntries()).isEmpty());
        }
        path()->setText(QStringLiteral("/digitado/depois.fdb"));  // the log keeps its own
        const QString file = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".txt"));
        dialogs.shown.clear();
        dialogs.saveAnswers = {file};
        const QDateTime before = QDateTime::currentDateTime();
        pressSave();
        const QDateTime after = QDateTime::currentDateTime();
        path()->setText(tdb.path());

        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_EQ(dialogs.shown[0].kind, QStringLiteral("save"));
        EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Salvar o log"));
        const QFileInfo proposed(dialogs.shown[0].text);
        EXPECT_EQ(proposed.absolutePath(),
                  QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        EXPECT_TRUE(proposed.fileName().startsWith(QStringLiteral("depurix-")));
        EXPECT_TRUE(proposed.fileName().endsWith(QStringLiteral(".txt")));
        expectWithin(proposed.fileName().mid(8, 15), QStringLiteral("yyyyMMdd-HHmmss"), before,
                     after);

        // The entries as written: their own line breaks are already CR LF.
        QByteArray body;
        for (const QString& e : window.logEntries()) body += e.toUtf8() + "\r\n";
        QString shown = pane()->toPlainText();
        if (!shown.isEmpty()) shown += QLatin1Char('\n');
        EXPECT_EQ(body.toStdString(),
                  shown.replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString());

        const QByteArray saved = read(file);
        const QList<QByteArray> header = saved.left(saved.indexOf("\r\n\r\n")).split('\n');
        ASSERT_EQ(header.size(), 3) << saved.toStdString();
        const QByteArray stamp("Log do Depurix salvo em ");
        ASSERT_TRUE(header[0].startsWith(stamp)) << saved.toStdString();
        expectWithin(QString::fromUtf8(header[0].mid(stamp.size()).chopped(1)),
                     QStringLiteral("dd/MM/yyyy HH:mm:ss"), before, after);
        const QString rest = QStringLiteral("Banco de dados: ") + c.database +
                             QStringLiteral("\r\nOperação: ") + c.operation +
                             QStringLiteral("\r\n\r\n");
        EXPECT_EQ(saved.mid(header[0].size() + 1).toStdString(),
                  (rest.toUtf8() + body).toStdString());
        EXPECT_TRUE(dialogs.errors().isEmpty());
    }
}

TEST_F(LogFileTest, CancelOrAFailedSaveWritesNothingAndKeepsThePane) {
    window.appendLog(QStringLiteral("SCA_CLIENTE ( 152 ) ação\r\nsegunda linha ").repeated(2000));
    const QString shown = pane()->toPlainText();
    TempMount readOnly(QStringLiteral("mode=0700"), 1 << 16);
    const bool mounted = readOnly.ok() && readOnly.remountReadOnly();
    // Room for the earlier file, not for the log.
    TempMount full(QStringLiteral("mode=0700"), 8192);
    {
        QFile earlier(full.path(QStringLiteral("log.txt")));
        if (earlier.open(QIODevice::WriteOnly)) earlier.write("anterior");
    }
    struct Case {
        const char* name;
        QString answer;
        const char* reason;  // none: cancelled, nothing said
        bool mount;
    };
    const Case cases[] = {
        {"cancelled", QString(), nullptr, false},
        {"missing folder", dir.filePath(QStringLiteral("nao-existe/log.txt")),
         "a pasta %1 não existe", false},
        {"read-only", readOnly.path(QStringLiteral("log.txt")),
         "não é permitido gravar na pasta %1 (sem permissão ou somente leitura): ", true},
        {"full disk", full.path(QStringLiteral("log.txt")),
         "a gravação não terminou, o disco pode estar cheio: ", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mount && !(mounted && full.ok())) continue;
        const QString folder = c.answer.isEmpty() ? dir.path() : QFileInfo(c.answer).path();
        const QStringList before = files(folder);
        const QByteArray earlier = read(full.path(QStringLiteral("log.txt")));
        dialogs.shown.clear();
        dialogs.saveAnswers = {c.answer};
        action("act_SalvarLog")->trigger();
        ASSERT_EQ(dialogs.texts(QStringLiteral("save")).size(), 1);
        if (!c.reason) {
            EXPECT_TRUE(dialogs.errors().isEmpty());
        } else {
            ASSERT_EQ(dialogs.errors().size(), 1);
            const QString error = dialogs.errors()[0];
            // Paths as the system writes them (backslashes on Windows).
            EXPECT_TRUE(error.startsWith(
                QStringLiteral("Não foi possível salvar o log em %1: %2")
                    .arg(QDir::toNativeSeparators(c.answer),
                         QString::fromUtf8(c.reason).replace(QStringLiteral("%1"),
                                                             QDir::toNativeSeparators(folder)))))
                << error.toStdString();
            EXPECT_TRUE(error.endsWith(
                QStringLiteral(".\nO log continua na janela e nenhum arquivo foi gravado.")))
                << error.toStdString();
        }
        EXPECT_EQ(files(folder), before);
        EXPECT_EQ(read(full.path(QStringLiteral("log.txt"))).toStdString(), earlier.toStdString());
        EXPECT_EQ(pane()->toPlainText(), shown);
        EXPECT_TRUE(pane()->isEnabled());
    }
    if (!(mounted && full.ok()))
        GTEST_SKIP() << "this machine does not let tests mount file systems";
}

TEST_F(LogFileTest, TheMenuCopiesASelectionOrTheWholeLog) {
    QStringList captions;
    for (const QAction* a : pane()->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Copiar"), QStringLiteral("Selecionar tudo"),
                                     QString(), QStringLiteral("Copiar tudo"),
                                     QStringLiteral("Salvar o log em arquivo…")}));
    EXPECT_EQ(pane()->contextMenuPolicy(), Qt::ActionsContextMenu);
    window.appendLog(QStringLiteral("Falha na execução do Comando:\r\nDELETE FROM SCA_SENHA"));
    window.appendLog(QStringLiteral("SCA_CLIENTE ( 152 )"));
    const QString whole = QStringLiteral(
        "Falha na execução do Comando:\nDELETE FROM SCA_SENHA\n"
        "SCA_CLIENTE ( 152 )");
    QClipboard* clipboard = QGuiApplication::clipboard();

    EXPECT_FALSE(action("act_Copiar")->isEnabled());  // nothing selected
    action("act_CopiarTudo")->trigger();
    EXPECT_EQ(clipboard->text(), whole);

    clipboard->clear();
    action("act_SelecionarTudo")->trigger();
    ASSERT_TRUE(action("act_Copiar")->isEnabled());
    action("act_Copiar")->trigger();
    EXPECT_EQ(clipboard->text(), whole);
}

}  // namespace
