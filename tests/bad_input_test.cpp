// Malformed input never crashes the tool nor changes what it must not.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "base/Error.h"

#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Paths.h"
#include "catalogue/SavedSelection.h"
#include "catalogue/Selection.h"
#include "removals/Establishment.h"
#include "removals/User.h"
#include "support/FakeView.h"
#include "support/RealRun.h"
#include "support/RunLog.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

namespace {

QList<QVariantList> snapshot(const MemTable& t) {
    return QList<QVariantList>(t.rows().begin(), t.rows().end());
}

// Variants of a good file: cut short, bytes flipped, counts and sizes made absurd, lines broken.
QList<QByteArray> malformedVariants(const QByteArray& good) {
    QList<QByteArray> out;
    QRandomGenerator rng(20261210);  // the same variants on every run
    for (int i = 0; i < 80; ++i) out << good.left(rng.bounded(good.size()));
    for (int i = 0; i < 120; ++i) {
        QByteArray b = good;
        const int flips = 1 + rng.bounded(4);
        for (int f = 0; f < flips; ++f) b[rng.bounded(b.size())] = char(rng.bounded(256));
        out << b;
    }
    for (const char* rows :
         {"rows -1", "rows 2147483648", "rows 99999999999999999999", "rows 0", "rows x"})
        out << QByteArray(good).replace("rows 113", rows);
    for (const char* field : {"field TABELA_ORDEM integer 99999", "field TABELA_ORDEM real 4",
                              "field TABELA_ORDEM integer -4", "field tabela_ordem integer 4",
                              "field TABELA_ORDEM integer 4 extra", "field  integer 4"})
        out << QByteArray(good).replace("field TABELA_ORDEM integer 4", field);
    out << QByteArray(good).replace("\n1\t", "\n99999999999\t");
    out << QByteArray(good).replace("\tS\n", "\tS\tS\n");
    out << QByteArray(good).replace("\n", "\r\n");
    out << QByteArray(good).replace("\t", " ");
    out << good + good;
    out << QByteArray(200000, '\\');
    out << QByteArray("depurix-table 1\n") + QByteArray(100000, 'f') + "\n";
    QByteArray manyFields("depurix-table 1\n");
    for (int i = 0; i < 5000; ++i) manyFields += "field F" + QByteArray::number(i) + " text 1\n";
    out << manyFields + "rows 0\nend\n";
    out << QByteArray(1, '\0') + good;
    return out;
}

TEST(BadInput, MalformedSelectionFilesNeverCrashAndLeaveTheCatalogueWholeOrUntouched) {
    QDir().mkpath(QFileInfo(selectionFilePath()).absolutePath());
    MemTable catalogue, temp;
    CarregarTabelas(catalogue, DatabaseKind::Vornix);
    ScriptedDialogs dialogs;
    salvarSelecao(catalogue, dialogs);
    QFile f(selectionFilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    f.close();

    int refused = 0, replaced = 0;
    const QList<QByteArray> variants = malformedVariants(good);
    ASSERT_GE(variants.size(), 200);
    for (qsizetype i = 0; i < variants.size(); ++i) {
        CarregarTabelas(catalogue, DatabaseKind::Vornix);
        const QList<QVariantList> before = snapshot(catalogue);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(variants[i]);
        f.close();
        dialogs.shown.clear();
        abrirSelecao(catalogue, temp, dialogs);

        EXPECT_TRUE(dialogs.errors().isEmpty()) << i;
        EXPECT_EQ(catalogue.fieldDefs(), catalogueFields()) << i;
        EXPECT_EQ(temp.recordCount(), 0) << i;
        if (dialogs.messages().isEmpty()) {
            // Still a valid file of as many entries: it replaces the catalogue, as any such file
            // does.
            ++replaced;
            EXPECT_EQ(catalogue.recordCount(), 113) << i;
            for (const QVariantList& row : catalogue.rows())
                EXPECT_LE(row[3].toString().size(), 1) << i;
        } else {
            ++refused;
            EXPECT_EQ(snapshot(catalogue), before) << i;
            const QString m = dialogs.messages()[0];
            EXPECT_TRUE(m.startsWith(QStringLiteral("Falha na abertura do arquivo:\r\n")) ||
                        m == QStringLiteral(
                                 "O Arquivo selecionado está diferente das tabelas configuradas!"))
                << i << ": " << m.toStdString();
        }
    }
    EXPECT_GT(refused, 150);
    EXPECT_GT(replaced, 0);  // flipped bytes inside descriptions still make a readable file
}

// Codes as a hurried or malicious hand types them.
QStringList strangeCodes() {
    QStringList out = {QString(),
                       QStringLiteral(" "),
                       QStringLiteral("1 OR 1=1"),
                       QStringLiteral("1; DROP TABLE SCA_EMPRESA"),
                       QStringLiteral("1) OR (1=1"),
                       QStringLiteral("' OR ''='"),
                       QStringLiteral("1 --"),
                       QStringLiteral("1/*"),
                       QStringLiteral("99999999999999999999999999999999"),
                       QStringLiteral("-2147483649"),
                       QStringLiteral("2147483648"),
                       QStringLiteral("0x7FFFFFFF"),
                       QStringLiteral("$FF"),
                       QStringLiteral("1e9"),
                       QString::fromUtf8("١٢٣"),
                       QString::fromUtf8("１２３"),
                       QString::fromUtf8("१२"),
                       QString::fromUtf8("12 "),
                       QString::fromUtf8("ção"),
                       QString(100000, QLatin1Char('9')),
                       QString(100000, QLatin1Char('x')),
                       QStringLiteral("\t1"),
                       QStringLiteral("1\n"),
                       QString(QChar(0)) + QStringLiteral("1")};
    QRandomGenerator rng(42);
    const QString alphabet = QString::fromUtf8("0123456789 -+'\";()=*/\\xabORDEL\t\n٣３é€");
    for (int i = 0; i < 300; ++i) {
        QString code;
        const int n = 1 + rng.bounded(12);
        for (int k = 0; k < n; ++k) code += alphabet[rng.bounded(alphabet.size())];
        out << code;
    }
    return out;
}

TEST(BadInput, StrangeCodesAreEitherPlainNumbersOrRefused) {
    int refusedUser = 0, refusedEstablishment = 0;
    for (const QString& code : strangeCodes()) {
        const QString trimmed = code.trimmed();
        const bool plainDigits =
            !trimmed.isEmpty() && std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            });
        if (codigoEstabelecimentoValido(code)) {
            // Only digits reach the statements, whatever blanks surround them.
            EXPECT_TRUE(plainDigits) << "[" << code.toStdString() << "]";
            EXPECT_FALSE(code.contains(QLatin1Char('\t')) || code.contains(QLatin1Char('\n')));
        } else {
            ++refusedEstablishment;
        }
        try {
            const int value = converterCodigoUsuario(code);
            bool ok = false;
            EXPECT_EQ(code.trimmed().toInt(&ok), value) << code.toStdString();
            EXPECT_TRUE(ok);
        } catch (const AppError& e) {
            ++refusedUser;
            EXPECT_TRUE(e.message().endsWith(QStringLiteral("'' is not a valid integer value")));
        }
    }
    EXPECT_GT(refusedEstablishment, 250);
    EXPECT_GT(refusedUser, 250);
}

TEST(BadInput, StrangeEstablishmentCodesNeverReachTheDatabase) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "establishment-removal.sql"}));
    FakeView view;
    view.path = tdb.path();
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    int sent = 0;  // statements, not the frame's own commits
    session.DB_GERAL.setTrace([&](const TraceEntry& e) {
        // The frame's own read of who else is connected carries no code.
        sent += (e.kind == TraceEntry::Kind::Query || e.kind == TraceEntry::Kind::Statement) &&
                !e.sql.contains(QLatin1String("MON$ATTACHMENTS"));
    });
    for (const QString& code : strangeCodes()) {
        if (codigoEstabelecimentoValido(code)) continue;
        dialogs.inputAnswers = {code};
        dialogs.confirmAnswers = {true};
        EXPECT_THROW(RemoverEstabelecimento(session, dialogs), AppError) << code.toStdString();
    }
    EXPECT_EQ(sent, 0);
    EXPECT_TRUE(runlog::body(view.log).isEmpty());
    EXPECT_EQ(Probe(tdb.path()).count(QStringLiteral("SCA_EMPRESA")), 2);
}

TEST(BadInput, LongAndNonAsciiPathsAreOpenedOrRefusedWithTheirMessage) {
    TestDatabase tdb(fixtureFiles({"schema.sql", "keys.sql", "user-removal.sql"}));
    QTemporaryDir dir;
    const QString accented = dir.filePath(QString::fromUtf8("Ação São João/Bancos ç €"));
    QDir().mkpath(accented);
    const QString copy = accented + QString::fromUtf8("/VORNIX Ótica.FDB");
    ASSERT_TRUE(QFile::copy(tdb.path(), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);

    FakeView view;
    ScriptedDialogs dialogs;
    Session session(view, dialogs);
    view.path = copy;
    RemoverUsuario(session, 3002, kRealNoCopy);
    EXPECT_TRUE(runlog::body(view.log).isEmpty()) << runlog::lines(view.log);
    EXPECT_EQ(Probe(copy).count(QStringLiteral("SCA_SENHA")), 2);

    for (const QString& path :
         {QString(5000, QLatin1Char('a')), dir.filePath(QString(300, QChar(0x00E7))),
          QString::fromUtf8("/nao/existe/日本語.fdb"),
          QStringLiteral("host-inexistente.invalid:/x.fdb"),
          QStringLiteral("127.0.0.1/0:/x.fdb")}) {
        view.path = path;
        RemoverUsuario(session, 3002, kRealNoCopy);
        ASSERT_EQ(runlog::body(view.log).size(), 1) << path.left(80).toStdString();
        EXPECT_TRUE(runlog::body(view.log)[0].startsWith(falhaConexao()));
        EXPECT_GT(runlog::body(view.log)[0].size(),
                  falhaConexao().size());  // with the client's own message
        EXPECT_EQ(view.status(), QStringLiteral("Fim de Processamento..."));
    }
}

}  // namespace
