// Marking entries in the window: check boxes, double click, space key, and the mark images.
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include "app/MarkImages.h"
#include "catalogue/Paths.h"
#include "support/TestDatabase.h"
#include "support/WindowFixture.h"

namespace {

class SelectionWindowTest : public WindowTest {
protected:
    QString markOf(const char* key) {
        MemTable& t = window.catalogue();
        for (int r = 0; r < t.recordCount(); ++r)
            if (t.fieldAt(r, QStringLiteral("TABELA_NOME")).toString() == QLatin1String(key))
                return t.fieldAt(r, QStringLiteral("EXCLUIR")).toString();
        return QStringLiteral("?");
    }
    QString markAt(int row) {
        return window.catalogue().fieldAt(row, QStringLiteral("EXCLUIR")).toString();
    }
    QString currentMark() { return window.catalogue().field(QStringLiteral("EXCLUIR")).toString(); }
};

TEST_F(SelectionWindowTest, CheckBoxesMarkTheirGroupsAndMoveTheCursorToTheLastMember) {
    click("cb_Tabelas");
    for (const char* k :
         {"SCA_BASES_DADOS_PDV", "SCA_SENHA", "SCA_MD5_ECF", "SCA_UNIDADE", "SCA_OCORRENCIAS"})
        EXPECT_EQ(markOf(k), QStringLiteral("S")) << k;
    EXPECT_EQ(currentKey(), QStringLiteral("SCA_OCORRENCIAS"));
    click("cb_Produtos");
    EXPECT_EQ(currentKey(), QStringLiteral("SCA_UNIDADE_XML"));
    click("cb_Tabelas");  // unticked: the shared units follow the rule applied last
    EXPECT_EQ(markOf("SCA_UNIDADE"), QStringLiteral("N"));
    EXPECT_EQ(markOf("SCA_ITEM"), QStringLiteral("S"));
    EXPECT_EQ(markOf("SCG_LANCAMENTOCONTABIL"), QStringLiteral("S"));
    EXPECT_EQ(markOf("SCA_LIBERACAO"), QStringLiteral("N"));
}

TEST_F(SelectionWindowTest, DoubleClickTogglesTheClickedRowAndKeepsTheScroll) {
    grid()->scrollTo(grid()->model()->index(80, 1));
    QApplication::processEvents();
    const int scroll = grid()->verticalScrollBar()->value();
    const QModelIndex cell = grid()->model()->index(85, 1);
    const QPoint at = grid()->visualRect(cell).center();
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(window.catalogue().recNo(), 85);
    const QString once = currentMark();
    QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_NE(once, currentMark());
    EXPECT_EQ(window.catalogue().recNo(), 85);
    EXPECT_EQ(grid()->verticalScrollBar()->value(), scroll);
}

TEST_F(SelectionWindowTest, ADoubleClickAnywhereOnTheGridButItsScrollBarsFlipsTheCurrentRow) {
    QTableView* g = grid();
    g->scrollToTop();
    QApplication::processEvents();
    // The cells and the row indicator share their rows' positions.
    auto rowPoint = [&](int row, int x) {
        return QPoint(x, g->rowViewportPosition(row) + g->rowHeight(row) / 2);
    };
    struct Place {
        const char* name;
        QWidget* on;
        QPoint at;
        int current;  // the row current after the first click; -1: the one current before
        bool flips;
    };
    QWidget* corner = g->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(corner, nullptr);
    const Place places[] = {
        {"cell", g->viewport(), rowPoint(3, 100), 3, true},
        {"row indicator", g->verticalHeader()->viewport(), rowPoint(6, 4), 6, true},
        {"title row", g->horizontalHeader()->viewport(), QPoint(100, 8), -1, true},
        {"title of the row indicator", corner, corner->rect().center(), -1, true},
        {"vertical scroll bar", g->verticalScrollBar(), QPoint(6, 60), -1, false},
    };
    for (const Place& p : places) {
        const int before = window.catalogue().recNo();
        const QString mark = markAt(p.current < 0 ? before : p.current);
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, p.on->mapTo(&window, p.at));
        EXPECT_EQ(window.catalogue().recNo(), p.current < 0 ? before : p.current) << p.name;
        EXPECT_EQ(currentMark() != mark, p.flips) << p.name;  // a second flip would undo the first
    }

    window.resize(784, 2600);  // room below the last row
    QApplication::processEvents();
    const int last = g->model()->rowCount() - 1;
    const QPoint blank(100, g->rowViewportPosition(last) + g->rowHeight(last) + 20);
    ASSERT_LT(blank.y(), g->viewport()->height());
    const QString mark = currentMark();
    const int before = window.catalogue().recNo();
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                       g->viewport()->mapTo(&window, blank));
    EXPECT_EQ(window.catalogue().recNo(), before);
    EXPECT_NE(currentMark(), mark);
}

TEST_F(SelectionWindowTest, RowsOfEntriesNothingCleansSaySoInTheirHint) {
    auto hintAt = [&](const char* key) {
        MemTable& t = window.catalogue();
        int row = 0;
        while (t.fieldAt(row, QStringLiteral("TABELA_NOME")).toString() != QLatin1String(key))
            ++row;
        grid()->scrollTo(grid()->model()->index(row, 1));
        QApplication::processEvents();
        const QPoint at = grid()->visualRect(grid()->model()->index(row, 1)).center();
        QHelpEvent event(QEvent::ToolTip, at, grid()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid()->viewport(), &event);
        const QString shown = QToolTip::text();
        QToolTip::hideText();
        return shown;
    };
    const QString hint = QStringLiteral("Dê um duplo-clique para alterar a marcação");
    EXPECT_EQ(hintAt("SCA_CLIENTE"), hint);
    for (const char* key : {"SCA_BANCO", "SCA_TIPOENDERECO"})
        EXPECT_EQ(hintAt(key),
                  hint + QStringLiteral("\nEsta tabela não possui limpeza própria: marcá-la não "
                                        "exclui nenhum dado."))
            << key;
}

TEST_F(SelectionWindowTest, SpaceTogglesTheCurrentEntryButNotWhileTypingAPath) {
    grid()->setFocus();
    const QString before = currentMark();
    QTest::keyClick(grid(), Qt::Key_Space);
    EXPECT_NE(currentMark(), before);
    QTest::keyClick(grid(), Qt::Key_Space, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(currentMark(), before);

    path()->setFocus();
    path()->setText(QStringLiteral("/dados/Meus"));
    QTest::keyClick(path(), Qt::Key_Space);
    QTest::keyClicks(path(), QStringLiteral("Bancos/VORNIX.FDB"));
    EXPECT_EQ(path()->text(), QStringLiteral("/dados/Meus Bancos/VORNIX.FDB"));
    EXPECT_EQ(currentMark(), before);
}

TEST_F(SelectionWindowTest, SpaceAndDoubleClickChangeNoMarkWhileAnOperationRuns) {
    TestDatabase tdb{QStringList()};
    path()->setText(tdb.path());
    const QString before = currentMark();
    window.session().runOperation(falhaConexao(), [&] {
        QTest::keyClick(child<QWidget>("mmo_Log"), Qt::Key_Space);
        QTest::keyClick(&window, Qt::Key_Space);
        QWidget* titles = grid()->horizontalHeader()->viewport();
        QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                           titles->mapTo(&window, QPoint(100, 8)));
    });
    EXPECT_EQ(currentMark(), before);
}

TEST_F(SelectionWindowTest, EachRowPaintsItsOwnMarkTwelvePixelsIn) {
    MemTable& t = window.catalogue();
    t.setRecNo(1);
    t.setField(QStringLiteral("EXCLUIR"), QStringLiteral("S"));
    t.setRecNo(2);
    t.setField(QStringLiteral("EXCLUIR"), QStringLiteral("x"));
    t.setRecNo(0);  // the current row is marked "S"; rows 1 and 2 must not follow it
    grid()->scrollToTop();
    QApplication::processEvents();
    const QImage shot = grid()->viewport()->grab().toImage();

    auto kinds = [&](int row) {
        const QRect cell = grid()->visualRect(grid()->model()->index(row, 2));
        int green = 0, orange = 0, white = 0, outside = 0;
        for (int y = cell.top(); y < cell.top() + 16; ++y)
            for (int x = cell.left(); x < cell.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                const bool inImage = x >= cell.left() + 12 && x < cell.left() + 28;
                const bool isGreen = c.green() > 120 && c.red() < 100 && c.blue() < 100;
                const bool isOrange =
                    c.red() > 200 && c.green() > 100 && c.green() < 170 && c.blue() < 80;
                green += isGreen && inImage;
                orange += isOrange && inImage;
                white += c == Qt::white && inImage;
                outside += (isGreen || isOrange) && !inImage;
            }
        return std::tuple{green, orange, white, outside};
    };
    const auto [g1, o1, w1, out1] = kinds(1);
    EXPECT_GT(g1, 10);
    EXPECT_EQ(o1, 0);
    EXPECT_EQ(out1, 0);
    for (int row : {2, 12}) {  // "x" and the unmarked default of row 13
        const auto [g, o, w, out] = kinds(row);
        EXPECT_EQ(g, 0) << row;
        EXPECT_GT(o, 40) << row;
        EXPECT_GT(w, 10) << row;
        EXPECT_EQ(out, 0) << row;
    }
}

TEST_F(SelectionWindowTest, SaveAndOpenButtonsRestoreTheSavedMarks) {
    QDir().mkpath(QFileInfo(selectionFilePath()).absolutePath());
    click("cb_Produtos");
    click("btn_SalvarSelecao");
    click("cb_Produtos");
    EXPECT_EQ(markOf("SCA_ITEM"), QStringLiteral("N"));
    click("btn_AbrirSelecao");
    EXPECT_EQ(markOf("SCA_ITEM"), QStringLiteral("S"));
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("O arquivo foi salvo com sucesso.")});
    EXPECT_EQ(grid()->currentIndex().row(), 0);
    EXPECT_FALSE(child<QCheckBox>("cb_Produtos")->isChecked());  // the boxes keep their state
}

TEST(MarkImages, AreDrawnAtTheDevicesPixelRatio) {
    for (qreal dpr : {1.0, 1.5, 2.0}) {
        for (const QPixmap& pm : {marks::tick(dpr), marks::noEntry(dpr)}) {
            EXPECT_EQ(pm.size(), QSize(16, 16) * dpr);
            EXPECT_EQ(pm.deviceIndependentSize(), QSizeF(16, 16));
            EXPECT_EQ(pm.toImage().pixelColor(0, 0).alpha(), 0);  // transparent background
        }
    }
}

}  // namespace
