// The ERP plan from the duplicate cost history to the purchase orders, and the whole plan run
// with every entry marked on a database whose foreign keys follow every link the plan breaks.
#include <gtest/gtest.h>

#include <QSet>

#include "cleanup/CleanupRun.h"
#include "cleanup/Plan.h"
#include "frame/Session.h"
#include "support/CatalogueMarks.h"
#include "support/CleanupRig.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

namespace {

using namespace runlog;

// One cleanup run on a fresh copy of the document fixtures.
struct DocsRun : CleanupRig {
    explicit DocsRun(const QStringList& marked)
        : CleanupRig(fixtureFiles({"schema.sql", "keys.sql", "cleanup-docs.sql"})) {
        markOnly(catalogue, DatabaseKind::Vornix, marked);
    }
    void go() { LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy); }
};

TEST(CleanupDocuments, InvoiceAndQuotationCombinationsRunTheirBlocksWithoutAFailure) {
    const QStringList e21 = keys({"SCA_DOCTO_FISCAL_REFERENCIADO"});
    const QStringList e22 = keys({"SCA_DOCTO_ARRECAD_REFERENCIADO"});
    const QStringList e23 = keys({"SCA_COMISSAOVENDITEMCUPOM", "SCA_GRADEITEMCUPOMFISCAL",
                                  "SCA_ITEMCUPOMFISCAL", "SCA_CUPOMFISCAL"});
    const QStringList e24e25 = keys(
        {"SCA_PROCESSO_REFERENCIADO", "SCA_AJUSTES_DOC_FISCAL", "SCA_OBSERVACAO_LANCTO_FISCAL"});
    const QStringList e26 =
        keys({"SCA_PRAZOS_INFORMADOS", "SCA_OBSERVACAOCORPONOTA", "SCA_NUMEROSERIEITEMNF",
              "SCA_COMISSAOVENDITEMNFSAIDA", "SCA_GRADEITEMNFSAIDA", "SCA_XMLNFSAIDA",
              "SCA_ITEMNFSAIDA", "SCA_NOTAFISCALSAIDA"});
    const QStringList e27 =
        keys({"SCA_DESMEMBRAMENTO_ITEM_ENTRADA", "SCA_DESMEMBRAMENTO", "SCA_OPERACAO_NFE",
              "SCA_ITEMNFENTRADA_TANQUE", "SCA_GRADEITEMNFENTRADA", "SCA_ITEMNFENTRADA",
              "SCA_CONHECIMENTONFENTRADA", "SCA_NOTAFISCALENTRADA"});
    const struct {
        const char* name;
        QStringList marked, purged;
    } cases[] = {
        {"issued invoices alone", keys({"SCA_NOTAFISCALSAIDA"}), e26},
        {"received invoices alone", keys({"SCA_NOTAFISCALENTRADA"}), e27},
        {"both invoices, no coupons", keys({"SCA_NOTAFISCALENTRADA", "SCA_NOTAFISCALSAIDA"}),
         e22 + e24e25 + e26 + e27},
        {"both invoices and coupons",
         keys({"SCA_NOTAFISCALENTRADA", "SCA_NOTAFISCALSAIDA", "SCA_CUPOMFISCAL"}),
         e21 + e22 + e23 + e24e25 + e26 + e27},
        {"coupons alone", keys({"SCA_CUPOMFISCAL"}), e23},
        {"quotations alone", keys({"SCA_ORCAMENTO"}),
         keys({"SCA_APROVACAOORCAMENTO", "SCA_MULTIPLOSCARTOES", "SCA_HISTORICO_ORC_PED",
               "SCA_HISTORICOSITORCAMENTO", "SCA_GRADEITEMORCAMENTO", "SCA_ITEMORCAMENTO",
               "SCA_ORCAMENTO"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocsRun r{c.marked};
        r.go();
        EXPECT_EQ(lines(failures(runlog::body(r.view.log))), "");
        EXPECT_EQ(lines(purgedTables(runlog::body(r.view.log))), lines(c.purged));
        EXPECT_EQ(runlog::body(r.view.log).size(), 2 * c.purged.size());
        for (const QString& t : c.purged) EXPECT_EQ(r.probe.count(t), 0) << t.toStdString();
    }
}

TEST(CleanupDocuments, IssuedInvoicesAloneOnlyUnlinkTheReferencedDocuments) {
    DocsRun r{keys({"SCA_NOTAFISCALSAIDA"})};
    r.go();
    EXPECT_EQ(lines(failures(runlog::body(r.view.log))), "");
    EXPECT_EQ(r.count("SCA_DOCTO_FISCAL_REFERENCIADO"), 3);
    EXPECT_EQ(r.count("SCA_DOCTO_ARRECAD_REFERENCIADO"), 3);
    EXPECT_EQ(r.count("SELECT COUNT(*) FROM SCA_DOCTO_FISCAL_REFERENCIADO WHERE "
                      "DFR_REF_CODIGO_NOTAFISCALSAIDA IS NOT NULL"),
              0);
    EXPECT_EQ(r.count("SELECT COUNT(*) FROM SCA_DOCTO_ARRECAD_REFERENCIADO WHERE "
                      "DAR_CODIGO_NOTAFISCALSAIDA IS NOT NULL"),
              0);
    // The links to received invoices belong to E27, which did not run.
    EXPECT_EQ(r.count("SELECT COUNT(*) FROM SCA_DOCTO_FISCAL_REFERENCIADO WHERE "
                      "DFR_REF_CODIGO_NOTAFISCALENTRAD IS NOT NULL"),
              2);
    EXPECT_EQ(r.count("SCA_NOTAFISCALENTRADA"), 3);
    // Only the bill-of-lading rows that point at issued invoices went, by the statement step.
    EXPECT_EQ(r.count("SCA_CONHECIMENTONFENTRADA"), 1);
    // E20 ran: the three rows of item-location 10 with grade-price 5 are down to one.
    EXPECT_EQ(r.count("SELECT COUNT(*) FROM SCA_HISTORICOCUSTOLIQUIDO WHERE "
                      "HCL_PK_HISTORICOCUSTOLIQUIDO BETWEEN 101 AND 103"),
              1);
}

TEST(CleanupDocuments, BothInvoicesWithoutCouponsKeepTheCouponsAndTheFiscalReferences) {
    DocsRun r{keys({"SCA_NOTAFISCALENTRADA", "SCA_NOTAFISCALSAIDA"})};
    r.go();
    EXPECT_EQ(lines(failures(runlog::body(r.view.log))), "");
    EXPECT_EQ(r.count("SCA_CUPOMFISCAL"), 3);
    EXPECT_EQ(r.count("SCA_DOCTO_FISCAL_REFERENCIADO"), 3);  // E21 also needs the coupons
    EXPECT_EQ(r.count("SCA_DOCTO_ARRECAD_REFERENCIADO"), 0);
    EXPECT_EQ(r.count("SELECT COUNT(*) FROM SCA_DOCTO_FISCAL_REFERENCIADO WHERE "
                      "DFR_REF_CODIGO_NOTAFISCALSAIDA IS NOT NULL "
                      "OR DFR_REF_CODIGO_NOTAFISCALENTRAD IS NOT NULL"),
              0);
}

TEST(CleanupDocuments, AndBlocksShowTheDescriptionOfTheirLastKey) {
    DocsRun r{keys({"SCA_NOTAFISCALENTRADA", "SCA_NOTAFISCALSAIDA", "SCA_CUPOMFISCAL"})};
    r.go();
    for (const QString& s :
         {QStringLiteral("Cupom Fiscal - SCA_DOCTO_FISCAL_REFERENCIADO (Generator: "
                         "GEN_SCA_DOCTO_FISCAL_REFEREN_ID)"),
          QStringLiteral("Nota Fiscal Emitida - SCA_DOCTO_ARRECAD_REFERENCIADO (Generator: "
                         "GEN_SCA_DOCTO_ARREC_REFER_ID)"),
          QStringLiteral("Nota Fiscal Emitida - SCA_OBSERVACAO_LANCTO_FISCAL (Generator: "
                         "GEN_SCA_OBS_LANCTO_FISCAL_ID)"),
          QStringLiteral(
              "Nota Fiscal de Entrada - SCA_NOTAFISCALENTRADA (Generator: GEN_NFE_PK_NFENTRADA)")})
        EXPECT_TRUE(r.view.statuses.contains(s)) << s.toStdString();
}

TEST(CleanupDocuments, TheCostHistoryConditionStopsAtTheFirstMarkedInvoiceEntry) {
    // The cost-history removal repaints once, before anything has shown a status; the catalogue
    // row under the cursor then is the one the condition stopped on.
    const struct {
        QStringList marked;
        const char* cursor;
    } cases[] = {
        {keys({"SCA_NOTAFISCALENTRADA", "SCA_NOTAFISCALSAIDA"}), "SCA_NOTAFISCALENTRADA"},
        {keys({"SCA_NOTAFISCALSAIDA"}), "SCA_NOTAFISCALSAIDA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cursor);
        DocsRun r{c.marked};
        QString atFirstRefresh;
        r.view.onRefresh = [&] {
            if (atFirstRefresh.isEmpty() && r.view.statuses.isEmpty())
                atFirstRefresh = r.currentKey();
        };
        r.go();
        EXPECT_EQ(atFirstRefresh.toStdString(), c.cursor);
    }
}

TEST(CleanupDocuments, QuotationsAloneUnlinkPurgeSevenTablesAndResetTheirKeyCounter) {
    DocsRun r{keys({"SCA_ORCAMENTO"})};
    r.go();
    EXPECT_EQ(runlog::body(r.view.log).size(), 14);
    EXPECT_EQ(lines(failures(runlog::body(r.view.log))), "");
    EXPECT_EQ(lines(commands(r.view.statuses)),
              lines({QStringLiteral("UPDATE SCA_SAIDA SET SAI_CODIGO_ORCAMENTO = NULL WHERE "
                                    "SAI_CODIGO_ORCAMENTO IS NOT NULL;"),
                     QStringLiteral("UPDATE SCA_NOTAFISCALSAIDA SET NFS_CODIGO_ORCAMENTO = NULL "
                                    "WHERE NFS_CODIGO_ORCAMENTO "
                                    "IS NOT NULL;"),
                     QStringLiteral(
                         "UPDATE SCA_ARMAZENAMENTO_ARQUIVOS SET ARQ_CODIGO_ORCAMENTO = NULL WHERE "
                         "ARQ_CODIGO_ORCAMENTO IS NOT NULL;"),
                     QStringLiteral("UPDATE SCA_CHAVEPRIMARIA SET CPR_CHAVE = 1 WHERE "
                                    "CPR_NOME_TABELA = 'SCA_ORCAMENTO'")}));
    // The key counter is reset after the last purge.
    EXPECT_TRUE(r.view.statuses.at(r.view.statuses.size() - 2)
                    .startsWith(QStringLiteral("Executando Comando : UPDATE SCA_CHAVEPRIMARIA")));
    EXPECT_TRUE(r.view.statuses.contains(
        QStringLiteral("Orçamento - SCA_ORCAMENTO (Generator: GEN_ORC_PK_ORCAMENTO)")));
    // Nothing commits that statement but the end of the run.
    EXPECT_EQ(r.probe.column(QStringLiteral("SELECT CPR_CHAVE FROM SCA_CHAVEPRIMARIA ORDER BY ID")),
              (QStringList{QStringLiteral("1"), QStringLiteral("33"), QStringLiteral("81"),
                           QStringLiteral("12")}));
    EXPECT_EQ(r.count("SCA_SAIDA"), 3);
    EXPECT_EQ(r.count("SELECT COUNT(*) FROM SCA_SAIDA WHERE SAI_CODIGO_ORCAMENTO IS NOT NULL"), 0);
}

TEST(CleanupDocuments, TheAuditPurgeKeepsTable175AndLogsEveryRowItCounted) {
    DocsRun r{keys({"SCA_HISTORICOALTERACAO"})};
    r.probe.exec(QStringLiteral("ALTER SEQUENCE GEN_HAL_PK_HISTORICOALTERACAO RESTART WITH 40"));
    r.go();
    EXPECT_EQ(lines(runlog::body(r.view.log)),
              lines({QStringLiteral("SCA_HISTORICOALTERACAO ( 4 )"), kSeparator}));
    EXPECT_EQ(r.probe.column(QStringLiteral(
                  "SELECT HAL_CODIGO_TABELA FROM SCA_HISTORICOALTERACAO ORDER BY ID")),
              (QStringList{QStringLiteral("175"), QStringLiteral("175")}));
    EXPECT_EQ(r.probe
                  .scalar(QStringLiteral(
                      "SELECT GEN_ID(GEN_HAL_PK_HISTORICOALTERACAO, 0) FROM RDB$DATABASE"))
                  .toInt(),
              0);
    EXPECT_TRUE(r.view.statuses.contains(QStringLiteral(
        "Auditoria - SCA_HISTORICOALTERACAO (Generator: GEN_HAL_PK_HISTORICOALTERACAO)")));
}

// Every ERP entry marked, on the fixtures of the whole plan. A failure entry names the statement
// or table whose link the plan did not break in time.
TEST(CleanupDocumentsFullRun, EveryEntryMarkedRunsThePlanToItsEndAndLeavesEveryTableEmpty) {
    TestDatabase tdb{
        fixtureFiles({"schema.sql", "keys.sql", "cleanup-base.sql", "cleanup-docs.sql"})};
    Probe probe{tdb.path()};
    QStringList plannedPurges, generators;
    for (const PlanRow& r : planRowsOf(DatabaseKind::Vornix)) {
        if (r.kind != RowKind::Purge) continue;
        plannedPurges << QString::fromLatin1(r.text);
        if (*r.generator && !generators.contains(QString::fromLatin1(r.generator)))
            generators << QString::fromLatin1(r.generator);
    }
    for (const QString& g : generators)
        probe.exec(QStringLiteral("ALTER SEQUENCE %1 RESTART WITH 7").arg(g));
    QSet<QString> hadRows;
    for (const QString& t : plannedPurges)
        if (probe.count(t) > 0) hadRows << t;

    FakeView view;
    view.path = tdb.path();
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
    MemTable catalogue;
    markAll(catalogue, DatabaseKind::Vornix);
    LimparTabelas(session, catalogue, DatabaseKind::Vornix, kRealNoCopy);

    ASSERT_EQ(lines(failures(view.log)), "");
    EXPECT_EQ(lines(purgedTables(view.log)), lines(plannedPurges));
    ASSERT_EQ(runlog::body(view.log).size(), 2 * plannedPurges.size());
    for (qsizetype i = 1; i < view.log.size(); i += 2)
        EXPECT_EQ(runlog::body(view.log)[i], kSeparator) << i;

    QStringList notEmpty, notCounted;
    for (const QString& t : plannedPurges) {
        const QString where = t == QLatin1String("SCA_HISTORICOALTERACAO")
                                  ? QStringLiteral(" WHERE HAL_CODIGO_TABELA <> 175")
                                  : QString();
        if (probe.count(QStringLiteral("SELECT COUNT(*) FROM ") + t + where) != 0) notEmpty << t;
    }
    // A table with rows that showed 0 on its first purge lost them to a statement step: the
    // fixture would then not prove that table's links.
    QSet<QString> seen;
    for (const QString& e : view.log) {
        if (!e.endsWith(QLatin1String(" )"))) continue;
        const QString t = e.section(QLatin1Char(' '), 0, 0);
        if (!seen.contains(t) && hadRows.contains(t) && e.endsWith(QLatin1String("( 0 )")))
            notCounted << t;
        seen << t;
    }
    EXPECT_EQ(lines(notEmpty), "");
    EXPECT_EQ(lines(notCounted), "");
    EXPECT_EQ(probe.count(QStringLiteral("SCA_HISTORICOALTERACAO")), 2);
    EXPECT_EQ(hadRows.size(), QSet<QString>(plannedPurges.begin(), plannedPurges.end()).size())
        << "every purged table starts with rows";

    QStringList notRestarted;
    for (const QString& g : generators)
        if (probe.scalar(QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE").arg(g)).toInt() !=
            0)
            notRestarted << g;
    EXPECT_EQ(lines(notRestarted), "");

    // The duplicate-history step of the requisitions found the two undated copies only.
    EXPECT_TRUE(view.statuses.contains(QStringLiteral(
        "Executando Comando : DELETE FROM SCA_HISTORICOCUSTOLIQUIDO WHERE HCL_CODIGO_ITEMLOCAL = "
        "30 AND "
        "HCL_DT_INCLUSAO = '1899-12-30' AND HCL_CODIGO_ITEMREQUISICAO IS NOT NULL")));
    EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    EXPECT_EQ(catalogue.field(QStringLiteral("TABELA_NOME")).toString(),
              QStringLiteral("SCA_VERIFICACOESPDVONLINE"));
}

}  // namespace
