// The main window at start, on the database choice, and around an operation.
#include <QAbstractItemModelTester>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include "app/RadioGroup.h"
#include "app/StatusLine.h"

#include "catalogue/Paths.h"
#include "support/TestDatabase.h"
#include "support/WindowFixture.h"

namespace {

TEST_F(WindowTest, StartsOnTheErpDatabaseWithItsDefaults) {
    auto radios = child<QWidget>("rg_Banco")->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 2);
    EXPECT_TRUE(radios[0]->isChecked());
    EXPECT_EQ(radios[0]->text(), QStringLiteral("VORNIX"));
    EXPECT_EQ(path()->text(), defaultDatabasePath(DatabaseKind::Vornix));
    EXPECT_TRUE(child<QCheckBox>("cb_Produtos")->isVisible());
    EXPECT_FALSE(child<QCheckBox>("cb_Produtos")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("cb_Tabelas")->isChecked());
    EXPECT_EQ(grid()->model()->rowCount(), 113);
    EXPECT_EQ(currentKey(), QStringLiteral("SCA_OCORRENCIAS"));
    EXPECT_EQ(grid()->currentIndex().row(), 50);
    EXPECT_EQ(window.statusText(), QString());
    EXPECT_EQ(QApplication::focusWidget(), path());
    EXPECT_TRUE(button("btn_Remover_Estabelecimento_Vornix")->isEnabled());
}

TEST_F(WindowTest, ChoosingPdvRebuildsTheCatalogueAndDisablesErpOnlyRemovals) {
    path()->setText(QStringLiteral("/algum/outro.fdb"));
    choose(1);
    EXPECT_EQ(path()->text(), defaultDatabasePath(DatabaseKind::Pdv));
    EXPECT_FALSE(child<QCheckBox>("cb_Produtos")->isVisible());
    EXPECT_FALSE(child<QCheckBox>("cb_Tabelas")->isVisible());
    EXPECT_FALSE(button("btn_Remover_Estabelecimento_Vornix")->isEnabled());
    EXPECT_FALSE(button("btn_Remover_Local_99")->isEnabled());
    EXPECT_TRUE(button("btn_Remover_Usuario")->isEnabled());
    EXPECT_TRUE(button("btnIniciar")->isEnabled());
    EXPECT_EQ(grid()->model()->rowCount(), 39);

    child<QCheckBox>("cb_Produtos")->setChecked(true);
    choose(0);
    EXPECT_EQ(grid()->model()->rowCount(), 113);
    EXPECT_FALSE(child<QCheckBox>("cb_Produtos")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("cb_Tabelas")->isVisible());
    EXPECT_TRUE(button("btn_Remover_Local_99")->isEnabled());
}

TEST_F(WindowTest, ControlsHaveTheirCaptionsGeometryAndBehaviour) {
    struct Expected {
        const char* name;
        QRect geometry;
    };
    const Expected controls[] = {
        {"rg_Banco", {8, 8, 345, 41}},
        {"gbx_Caminho", {360, 8, 418, 41}},
        {"edt_Caminho", {9, 14, 402, 21}},
        {"dbg_Tabelas", {8, 56, 345, 397}},
        {"mmo_Log", {360, 48, 419, 321}},
        {"Label1", {360, 374, 122, 16}},
        {"btn_Remover_Estabelecimento_Vornix", {360, 392, 417, 31}},
        {"btn_Remover_Local_99", {360, 422, 417, 31}},
        {"btn_Remover_Usuario", {360, 452, 417, 31}},
        {"btn_AbrirSelecao", {8, 452, 185, 31}},
        {"btn_SalvarSelecao", {192, 452, 161, 31}},
        {"Bevel1", {9, 495, 770, 2}},
        {"btnIniciar", {8, 502, 346, 33}},
        {"cb_Produtos", {361, 512, 73, 17}},
        {"cb_Tabelas", {441, 512, 64, 17}},
        {"btnFechar", {520, 502, 260, 33}},
        {"sbr_Msg", {0, 543, 784, 19}},
    };
    EXPECT_EQ(window.size(), QSize(784, 562));
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("Kembral Softwares - Limpeza do Banco de Dados"));
    for (const Expected& c : controls)
        EXPECT_EQ(child<QWidget>(c.name)->geometry(), c.geometry) << c.name;

    for (const char* name :
         {"btn_Remover_Estabelecimento_Vornix", "btn_Remover_Local_99", "btn_Remover_Usuario",
          "btn_AbrirSelecao", "btn_SalvarSelecao", "btnIniciar", "btnFechar"}) {
        EXPECT_TRUE(button(name)->isFlat()) << name;
        EXPECT_EQ(button(name)->focusPolicy(), Qt::NoFocus) << name;
    }
    EXPECT_EQ(button("btnIniciar")->text(), QStringLiteral("Limpar tabelas selecionadas na lista"));
    EXPECT_EQ(
        button("btnIniciar")->toolTip(),
        QStringLiteral("Exclui os dados e inicializa o Generator das tabelas selecionadas.\n"));
    EXPECT_EQ(button("btn_Remover_Local_99")->toolTip().split(QLatin1Char('\n')).size(), 9);
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("Outras Operações:"));
    EXPECT_FALSE(child<QWidget>("imgExcluir")->isVisible());
    EXPECT_FALSE(child<QWidget>("imgNaoExcluir")->isVisible());

    // Tab order: log, database choice, path, grid.
    auto* log = child<QWidget>("mmo_Log");
    QWidget* w = log->nextInFocusChain();
    while (w->focusPolicy() == Qt::NoFocus || !w->isVisible()) w = w->nextInFocusChain();
    EXPECT_EQ(w->parentWidget(), child<QWidget>("rg_Banco"));
    EXPECT_EQ(path()->nextInFocusChain(), grid());
}

TEST_F(WindowTest, OpensWithItsFrameCentredOnTheScreen) {
    const QRect available = window.screen()->availableGeometry();
    ASSERT_LT(window.frameGeometry().width(), available.width());
    EXPECT_EQ(window.frameGeometry().center(), available.center());
}

TEST_F(WindowTest, AClickAnywhereInADatabaseCellChoosesIt) {
    auto* group = child<RadioGroup>("rg_Banco");
    auto radios = group->findChildren<QRadioButton*>();
    const QRect in = group->contentsRect();
    const int middle = in.left() + (in.width() + 1) / 2;  // the first pixel of the second cell
    for (int i = 0; i < 2; ++i) {  // each item's circle and caption lie inside its own cell
        EXPECT_TRUE(in.contains(radios[i]->geometry())) << i;
        EXPECT_EQ(group->itemAt(radios[i]->geometry().center()), i);
    }
    struct Click {
        QPoint at;
        int chosen;
        bool reported;
    };
    const Click clicks[] = {
        {in.bottomRight(), 1, true},                  // far right of "PDV", at the bottom
        {QPoint(middle, in.top()), 1, false},         // already chosen: nothing to report
        {in.topLeft(), 0, true},                      // left of the circle
        {QPoint(middle - 1, in.bottom()), 0, false},  // right of "VORNIX", at the bottom
        {QPoint(middle, in.center().y()), 1, true},
    };
    for (const Click& c : clicks) {
        path()->setText(QStringLiteral("/algum/outro.fdb"));
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, group->mapTo(&window, c.at));
        EXPECT_TRUE(radios[c.chosen]->isChecked()) << c.at.x() << "," << c.at.y();
        EXPECT_EQ(path()->text() != QStringLiteral("/algum/outro.fdb"), c.reported)
            << c.at.x() << "," << c.at.y();
    }
    EXPECT_EQ(grid()->model()->rowCount(), 39);
}

TEST_F(WindowTest, LogWrapsLongLinesAtItsWidthAndScrollsOnlyVertically) {
    auto* log = child<QPlainTextEdit>("mmo_Log");
    window.appendLog(QStringLiteral("DELETE FROM SCA_CLIENTE WHERE CLI_CODIGO > 0 ").repeated(20));
    QApplication::processEvents();
    const QTextLayout* layout = log->document()->firstBlock().layout();
    ASSERT_GT(layout->lineCount(), 1);
    for (int i = 0; i < layout->lineCount(); ++i)
        EXPECT_LE(layout->lineAt(i).naturalTextWidth(), log->viewport()->width()) << i;
    EXPECT_FALSE(log->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(log->verticalScrollBar()->isVisible());
}

TEST_F(WindowTest, ResizingKeepsEachControlsAnchoredEdges) {
    window.resize(884, 662);
    QApplication::processEvents();
    EXPECT_EQ(child<QWidget>("rg_Banco")->geometry(), QRect(8, 8, 345, 41));
    EXPECT_EQ(child<QWidget>("gbx_Caminho")->geometry(), QRect(360, 8, 518, 41));
    EXPECT_EQ(path()->geometry(), QRect(9, 14, 502, 21));
    EXPECT_EQ(grid()->geometry(), QRect(8, 56, 345, 497));
    EXPECT_EQ(child<QWidget>("mmo_Log")->geometry(), QRect(360, 48, 519, 421));
    EXPECT_EQ(button("btnIniciar")->geometry(), QRect(8, 602, 346, 33));
    EXPECT_EQ(button("btnFechar")->geometry(), QRect(620, 602, 260, 33));
    EXPECT_EQ(child<QWidget>("sbr_Msg")->geometry(), QRect(0, 643, 884, 19));
    EXPECT_EQ(window.minimumSize(), QSize(784, 562));
}

TEST_F(WindowTest, GridShowsIdDescriptionAndMarkColumns) {
    QAbstractItemModel* m = grid()->model();
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ID"));
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Tabela"));
    EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Limpar"));
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
              Qt::AlignRight);
    EXPECT_EQ(m->headerData(2, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignHCenter,
              Qt::AlignHCenter);
    EXPECT_EQ(grid()->columnWidth(0), 31);
    EXPECT_EQ(grid()->columnWidth(1) + grid()->columnWidth(2), 234 + 40);
#ifdef Q_OS_WIN
    // Windows's header needs more room for the title: the description gives it up.
    EXPECT_GE(grid()->columnWidth(2), grid()->horizontalHeader()->sectionSizeHint(2));
#else
    EXPECT_EQ(grid()->columnWidth(2), 40);
#endif
    EXPECT_EQ(m->data(m->index(0, 0)).toInt(), 1);
    EXPECT_EQ(m->data(m->index(0, 1)).toString(), QStringLiteral("Lançamento Contábil"));
    EXPECT_FALSE(m->data(m->index(0, 2)).isValid());  // the mark is drawn, never written
    choose(1);                                        // a rebuild under the tester
    choose(0);
}

TEST_F(WindowTest, FrameOnThePdvDatabaseLeavesErpOnlyButtonsDisabled) {
    choose(1);
    path()->setText(QDir::tempPath() + QStringLiteral("/nao-existe-depurix.fdb"));
    QStringList disabledDuring;
    window.session().runOperation(falhaConexaoLimpeza(), [] {});
    const QStringList log = window.logEntries();
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log[0].startsWith(falhaConexaoLimpeza()));
    EXPECT_EQ(child<QPlainTextEdit>("mmo_Log")->toPlainText(),
              QString(log[0]).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    EXPECT_EQ(window.statusText(), QStringLiteral("Fim de Processamento..."));
    for (const char* name :
         {"btnIniciar", "btnFechar", "dbg_Tabelas", "mmo_Log", "rg_Banco", "gbx_Caminho"})
        EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(button("btn_Remover_Estabelecimento_Vornix")->isEnabled());
    EXPECT_FALSE(button("btn_Remover_Local_99")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, DuringAnOperationControlsAreDisabledAndTheWindowRefusesToClose) {
    TestDatabase tdb;
    path()->setText(tdb.path());
    QStringList enabledInside;
    bool visibleAfterClose = false;
    window.session().runOperation(falhaConexao(), [&] {
        for (const char* name : {"btnIniciar", "btnFechar", "btn_Remover_Estabelecimento_Vornix",
                                 "btn_Remover_Local_99", "dbg_Tabelas", "mmo_Log", "rg_Banco",
                                 "gbx_Caminho", "edt_Caminho"})
            if (child<QWidget>(name)->isEnabled()) enabledInside << QString::fromLatin1(name);
        EXPECT_TRUE(button("btn_Remover_Usuario")->isEnabled());
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
        window.close();
        QApplication::processEvents();
        visibleAfterClose = window.isVisible();
    });
    EXPECT_TRUE(enabledInside.isEmpty()) << enabledInside.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_TRUE(window.logEntries().isEmpty());
    window.close();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowTest, CleanupButtonAsksFirstAndRunsThePlanOfTheChosenDatabase) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql"}));
    Probe probe(tdb.path());
    choose(1);
    path()->setText(tdb.path());

    dialogs.confirmAnswers = {false};
    click("btnIniciar");
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Confirma a Limpeza do Banco de Dados ?"));
    EXPECT_TRUE(window.logEntries().isEmpty());
    EXPECT_EQ(probe.count(QStringLiteral("PDV_VENDA")), 3);

    dialogs.confirmAnswers = {true};
    click("btnIniciar");
    EXPECT_EQ(window.logEntries().size(), 95);  // with the summary
    EXPECT_EQ(probe.count(QStringLiteral("PDV_VENDA")), 0);
    EXPECT_EQ(window.statusText(), QStringLiteral("Fim de Processamento..."));
    EXPECT_EQ(currentKey(), QStringLiteral("PDV_SANGRIASUPRIMENTO"));
    EXPECT_EQ(grid()->currentIndex().row(), 38);  // the grid follows the run's cursor
    EXPECT_TRUE(dialogs.errors().isEmpty());
}

// Notes what the status line showed each time it was painted, and how often that was during a run.
class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(const Tfrm_Depurix& window) : m_window(window) {}
    QString lastPainted;
    int paintedWhileRunning = 0;
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::Paint) return false;
        lastPainted = static_cast<StatusLine*>(watched)->text();
        if (m_window.session().running()) ++paintedWhileRunning;
        return false;
    }

private:
    const Tfrm_Depurix& m_window;
};

TEST_F(WindowTest, DuringARunInputIsServedAndNoPaintIsLostAtTheEnd) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql"}));
    choose(1);
    path()->setText(tdb.path());
    auto* status = child<QWidget>("sbr_Msg_panel0");
    PaintWatcher watcher(window);
    status->installEventFilter(&watcher);
    int served = 0;
    int postedDuringRun = 0;
    dialogs.onShow = [&](const ScriptedDialogs::Shown&) {
        // Posted now, delivered only if the run processes pending events between its statements.
        for (int i = 0; i < 5; ++i) QTimer::singleShot(0, &window, [&] { ++served; });
        postedDuringRun = 5;
    };
    dialogs.confirmAnswers = {true};
    button("btnIniciar")->click();  // returns when the run has ended
    EXPECT_EQ(served, postedDuringRun);
    EXPECT_GE(watcher.paintedWhileRunning, 1);  // painted as it goes, not only at the end
    // Lines and progress held for the next paint are all in place when the run returns.
    EXPECT_EQ(
        child<QPlainTextEdit>("mmo_Log")->toPlainText(),
        window.logEntries().join(u'\n').replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QTest::qWait(50);  // a paint held back for the frame is delivered, not dropped
    EXPECT_EQ(watcher.lastPainted, QStringLiteral("Fim de Processamento..."));
}

}  // namespace
