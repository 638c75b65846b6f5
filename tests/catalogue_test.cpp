// The catalogues, the in-memory table and the marking rules.
#include <gtest/gtest.h>

#include <QDir>
#include <QSet>

#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Catalogues.h"
#include "catalogue/Paths.h"
#include "catalogue/Selection.h"

namespace {

QString key(const MemTable& t, int row) { return t.fieldAt(row, TABELA_NOME).toString(); }
QString mark(const MemTable& t, int row) { return t.fieldAt(row, EXCLUIR).toString(); }

int rowOf(const MemTable& t, const char* name) {
    for (int r = 0; r < t.recordCount(); ++r)
        if (key(t, r) == QLatin1String(name)) return r;
    return -1;
}

TEST(Catalogue, PdvHasThirtyNineEntriesAllMarked) {
    MemTable t;
    CarregarTabelas(t, DatabaseKind::Pdv);
    ASSERT_EQ(t.recordCount(), 39);
    for (int r = 0; r < 39; ++r) {
        EXPECT_EQ(t.fieldAt(r, TABELA_ORDEM).toInt(), r + 1);
        EXPECT_EQ(mark(t, r), QStringLiteral("S"));
    }
    EXPECT_EQ(key(t, 0), QStringLiteral("PDV_EMPRESA"));
    EXPECT_EQ(t.fieldAt(22, DESCRICAO).toString(), QStringLiteral("Pré-Venda / Itens / Grade"));
    EXPECT_EQ(key(t, 37), QStringLiteral("UGE_MOVEXCLUSAO"));
    EXPECT_EQ(key(t, 38), QStringLiteral("PDV_SANGRIASUPRIMENTO"));
    EXPECT_EQ(t.recNo(), 38);  // the last entry added is current
}

TEST(Catalogue, ErpHasOneHundredThirteenEntriesWithElevenUnmarked) {
    MemTable t;
    CarregarTabelas(t, DatabaseKind::Vornix);
    ASSERT_EQ(t.recordCount(), 113);
    QList<int> unmarked;
    for (int r = 0; r < 113; ++r)
        if (mark(t, r) == QLatin1String("N")) unmarked << r + 1;
    EXPECT_EQ(unmarked, (QList<int>{13, 24, 47, 49, 55, 57, 58, 59, 60, 109, 112}));
    EXPECT_EQ(key(t, 0), QStringLiteral("SCG_LANCAMENTOCONTABIL"));
    EXPECT_EQ(t.fieldAt(0, DESCRICAO).toString(), QStringLiteral("Lançamento Contábil"));
    EXPECT_EQ(key(t, 70), QStringLiteral("SCA_DESMEMBRAMENTO_ITEM_ENTRADA"));
    EXPECT_EQ(t.fieldAt(85, DESCRICAO).toString(),
              QStringLiteral("Percentual de ICMS para Destaque dos Produtos"));
    EXPECT_EQ(key(t, 112), QStringLiteral("SCA_VERIFICACOESPDVONLINE"));
}

TEST(Catalogue, KeysAndDescriptionsAreUniqueAndFitTheirFields) {
    for (DatabaseKind kind : {DatabaseKind::Pdv, DatabaseKind::Vornix}) {
        QSet<QString> keys, descriptions;
        int longestKey = 0, longestDescription = 0;
        for (const CatalogueEntry& e : catalogueOf(kind)) {
            const QString k = QString::fromLatin1(e.name), d = QString::fromUtf8(e.description);
            keys << k;
            descriptions << d;
            longestKey = std::max(longestKey, int(k.size()));
            longestDescription = std::max(longestDescription, int(d.size()));
            EXPECT_TRUE(e.mark == 'S' || e.mark == 'N');
        }
        EXPECT_EQ(keys.size(), qsizetype(catalogueOf(kind).size()));
        EXPECT_EQ(descriptions.size(), qsizetype(catalogueOf(kind).size()));
        EXPECT_LE(longestKey, 31);
        EXPECT_LE(longestDescription, 60);
    }
}

TEST(Catalogue, EveryGroupKeyIsAnErpKeyInTheStatedOrder) {
    MemTable t;
    CarregarTabelas(t, DatabaseKind::Vornix);
    EXPECT_EQ(productsGroup().size(), 34u);
    EXPECT_EQ(basicTablesGroup().size(), 27u);
    for (auto group : {productsGroup(), basicTablesGroup()})
        for (const char* k : group) EXPECT_GE(rowOf(t, k), 0) << k;
    EXPECT_STREQ(productsGroup().back(), "SCA_UNIDADE_XML");
    EXPECT_STREQ(basicTablesGroup().back(), "SCA_OCORRENCIAS");
}

TEST(Selection, StartRulesLeaveFiftyOneMarkedAndTheCursorOnOcorrencias) {
    MemTable t;
    CarregarTabelas(t, DatabaseKind::Vornix);
    marcarGrupo(t, productsGroup(), false);
    marcarGrupo(t, basicTablesGroup(), false);
    int marked = 0;
    for (int r = 0; r < t.recordCount(); ++r) marked += mark(t, r) == QLatin1String("S");
    EXPECT_EQ(marked, 51);
    EXPECT_EQ(key(t, t.recNo()), QStringLiteral("SCA_OCORRENCIAS"));
}

TEST(Selection, TheRuleAppliedLastDecidesTheSharedKeys) {
    MemTable t;
    CarregarTabelas(t, DatabaseKind::Vornix);
    marcarGrupo(t, productsGroup(), true);
    EXPECT_EQ(key(t, t.recNo()), QStringLiteral("SCA_UNIDADE_XML"));
    marcarGrupo(t, basicTablesGroup(), false);
    for (const char* k : productsGroup()) {
        const bool shared = QLatin1String(k) == QLatin1String("SCA_UNIDADE") ||
                            QLatin1String(k) == QLatin1String("SCA_UNIDADE_XML");
        EXPECT_EQ(mark(t, rowOf(t, k)), shared ? QStringLiteral("N") : QStringLiteral("S")) << k;
    }
    marcarGrupo(t, basicTablesGroup(), true);
    for (const char* k : basicTablesGroup())
        EXPECT_EQ(mark(t, rowOf(t, k)), QStringLiteral("S")) << k;
    EXPECT_EQ(mark(t, 0), QStringLiteral("S"));  // outside both groups: untouched
    EXPECT_EQ(mark(t, rowOf(t, "SCA_LIBERACAO")), QStringLiteral("N"));
}

TEST(Selection, MarcarTabelaFindsAnyCaseAndIgnoresUnknownKeys) {
    MemTable t;
    CarregarTabelas(t, DatabaseKind::Vornix);
    t.setRecNo(4);
    MarcarTabela(t, QStringLiteral("sca_cliente"), QStringLiteral("N"));
    EXPECT_EQ(key(t, t.recNo()), QStringLiteral("SCA_CLIENTE"));
    EXPECT_EQ(mark(t, t.recNo()), QStringLiteral("N"));
    t.setRecNo(4);
    MarcarTabela(t, QStringLiteral("SCA_CLIENT"), QStringLiteral("N"));  // a prefix is not the key
    MarcarTabela(t, QStringLiteral("PDV_VENDA"), QStringLiteral("N"));
    EXPECT_EQ(t.recNo(), 4);
}

TEST(Selection, ToggleFlipsExactlySAndKeepsTheRow) {
    MemTable t;
    CarregarTabelas(t, DatabaseKind::Pdv);
    t.setRecNo(7);
    alternarMarca(t);
    EXPECT_EQ(mark(t, 7), QStringLiteral("N"));
    alternarMarca(t);
    EXPECT_EQ(mark(t, 7), QStringLiteral("S"));
    for (const char* odd : {"s", "", "X"}) {
        t.setField(QString(EXCLUIR), QString::fromLatin1(odd));
        alternarMarca(t);
        EXPECT_EQ(mark(t, 7), QStringLiteral("S")) << odd;
    }
    EXPECT_EQ(t.recNo(), 7);
}

TEST(MemTable, KeepsIndexOrderAndOneCursor) {
    MemTable t;
    t.setFieldDefs(catalogueFields());
    t.createDataSet();
    t.setIndexFieldName(QString(TABELA_ORDEM));
    t.append({3, QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("S")});
    t.append({1, QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("S")});
    EXPECT_EQ(t.recNo(), 0);  // the stored row is current, in its place
    EXPECT_EQ(key(t, 0), QStringLiteral("A"));
    EXPECT_FALSE(t.locate(QString(TABELA_NOME), QStringLiteral("B"), Qt::CaseInsensitive));
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_TRUE(t.locate(QString(TABELA_NOME), QStringLiteral("c"), Qt::CaseInsensitive));
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_FALSE(t.locate(QString(TABELA_NOME), QStringLiteral("c"), Qt::CaseSensitive));
    t.first();
    t.next();
    t.next();
    EXPECT_TRUE(t.eof());
    t.close();
    EXPECT_FALSE(t.isActive());
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_ANY_THROW(t.append({1, QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("S")}));
}

TEST(Paths, LiveUnderTheHomeDirectoryAwayFromWindows) {
#ifndef Q_OS_WIN
    const QString home = QDir::homePath();
    EXPECT_EQ(defaultDatabasePath(DatabaseKind::Vornix),
              home + QStringLiteral("/KEMB/VORNIX/BD/VORNIX.FDB"));
    EXPECT_EQ(defaultDatabasePath(DatabaseKind::Pdv),
              home + QStringLiteral("/KEMB/PDV/BD/PDV.FDB"));
    EXPECT_EQ(selectionFilePath(), home + QStringLiteral("/KEMB/VORNIX/Depurix.CDS"));
#else
    EXPECT_EQ(defaultDatabasePath(DatabaseKind::Vornix),
              QStringLiteral("C:\\KEMB\\VORNIX\\BD\\VORNIX.FDB"));
    EXPECT_EQ(defaultDatabasePath(DatabaseKind::Pdv), QStringLiteral("C:\\KEMB\\PDV\\BD\\PDV.FDB"));
    EXPECT_EQ(selectionFilePath(), QStringLiteral("C:\\KEMB\\VORNIX\\Depurix.CDS"));
#endif
}

}  // namespace
