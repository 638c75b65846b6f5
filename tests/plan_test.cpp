// The shape of the cleanup plans.
#include <gtest/gtest.h>

#include <QMap>
#include <QSet>

#include "catalogue/Catalogues.h"
#include "cleanup/Plan.h"

namespace {

struct Sizes {
    int blocks = 0, purges = 0, withGenerator = 0, statements = 0, special = 0;
};

Sizes sizesOf(DatabaseKind kind) {
    Sizes s;
    for (const Block& b : blocksOf(planRowsOf(kind))) {
        ++s.blocks;
        for (const PlanRow& r : b.steps) {
            s.purges += r.kind == RowKind::Purge;
            s.withGenerator += r.kind == RowKind::Purge && *r.generator;
            s.statements += r.kind == RowKind::Statement;
            s.special +=
                r.kind == RowKind::DuplicateCosts || r.kind == RowKind::RequisitionDuplicates;
        }
    }
    return s;
}

TEST(Plan, ErpAndPdvPlansHaveTheirSizes) {
    const Sizes erp = sizesOf(DatabaseKind::Vornix);
    EXPECT_EQ(erp.blocks, 114);
    EXPECT_EQ(erp.purges, 274);
    EXPECT_EQ(erp.withGenerator, 253);
    EXPECT_EQ(erp.statements, 119);
    EXPECT_EQ(erp.special, 2);
    const Sizes pdv = sizesOf(DatabaseKind::Pdv);
    EXPECT_EQ(pdv.blocks, 39);
    EXPECT_EQ(pdv.purges, 47);
    EXPECT_EQ(pdv.withGenerator, 10);
    EXPECT_EQ(pdv.statements, 0);
    EXPECT_EQ(pdv.special, 0);
}

TEST(Plan, EveryKeyABlockTestsIsAKeyOfTheSameCatalogue) {
    for (DatabaseKind kind : {DatabaseKind::Vornix, DatabaseKind::Pdv}) {
        QSet<QString> keys;
        for (const CatalogueEntry& e : catalogueOf(kind)) keys << QString::fromLatin1(e.name);
        const std::vector<Block> blocks = blocksOf(planRowsOf(kind));
        for (size_t i = 0; i < blocks.size(); ++i) {
            const Block& b = blocks[i];
            const QString label = QString::fromLatin1(b.label);
            EXPECT_EQ(label.mid(1).toInt(), int(i) + 1) << b.label;
            EXPECT_FALSE(b.steps.empty()) << b.label;
            for (int k = 0; k < b.when.count; ++k)
                EXPECT_TRUE(keys.contains(QString::fromLatin1(b.when.keys[k])))
                    << b.label << " " << b.when.keys[k];
        }
    }
}

TEST(Plan, EveryCatalogueKeyIsTestedByABlockButSixErpBasicTables) {
    auto untested = [](DatabaseKind kind) {
        QStringList keys;
        for (const char* k : keysNoBlockTests(kind)) keys << QString::fromLatin1(k);
        return keys;
    };
    EXPECT_EQ(
        untested(DatabaseKind::Vornix),
        (QStringList{QStringLiteral("SCA_OPERACAOBANCARIA"), QStringLiteral("SCA_TIPOENDERECO"),
                     QStringLiteral("SCA_CONTA"), QStringLiteral("SCA_AGENCIA"),
                     QStringLiteral("SCA_BANCO"), QStringLiteral("SCA_TIPOCONTA")}));
    EXPECT_EQ(untested(DatabaseKind::Pdv), QStringList());
}

TEST(Plan, SevenTablesArePurgedByMoreThanOneBlock) {
    QMap<QString, QSet<QString>> blocksPurging;
    for (const Block& b : blocksOf(planRowsOf(DatabaseKind::Vornix)))
        for (const PlanRow& r : b.steps)
            if (r.kind == RowKind::Purge)
                blocksPurging[QString::fromLatin1(r.text)] << QString::fromLatin1(b.label);
    QStringList repeated;
    for (auto it = blocksPurging.cbegin(); it != blocksPurging.cend(); ++it)
        if (it.value().size() > 1) repeated << it.key();
    EXPECT_EQ(repeated,
              (QStringList{
                  QStringLiteral("SCA_CONTAFUNCIONARIO"), QStringLiteral("SCA_DESMEMBRAMENTO"),
                  QStringLiteral("SCA_DESMEMBRAMENTO_ITEM_ENTRADA"),
                  QStringLiteral("SCA_DOCTO_ARRECAD_REFERENCIADO"),
                  QStringLiteral("SCA_DOCTO_FISCAL_REFERENCIADO"),
                  QStringLiteral("SCA_ITEMFORNECEDOR"), QStringLiteral("SCA_ITEMFORNECEDORXML")}));
}

TEST(Plan, SpecialStepsAndTheOnlyDeleteConditionSitWhereTheyBelong) {
    const std::vector<Block> erp = blocksOf(planRowsOf(DatabaseKind::Vornix));
    EXPECT_EQ(erp[19].steps.size(), 1u);
    EXPECT_EQ(erp[19].steps[0].kind, RowKind::DuplicateCosts);
    EXPECT_EQ(erp[19].when.join, Join::Either);
    EXPECT_EQ(erp[53].steps[0].kind, RowKind::RequisitionDuplicates);
    EXPECT_EQ(erp[20].when.join, Join::All);
    EXPECT_EQ(erp[20].when.count, 3);
    int conditions = 0;
    for (const Block& b : erp)
        for (const PlanRow& r : b.steps)
            if (*r.condition) {
                ++conditions;
                EXPECT_STREQ(r.text, "SCA_HISTORICOALTERACAO");
                EXPECT_STREQ(r.condition, " WHERE HAL_CODIGO_TABELA <> 175");
            }
    EXPECT_EQ(conditions, 1);
}

}  // namespace
