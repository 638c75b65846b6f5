// Malformed input never crashes the tool nor changes what it must not.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Paths.h"
#include "catalogue/SavedSelection.h"
#include "catalogue/Selection.h"
#include "support/ScriptedDialogs.h"

namespace {

QList<QVariantList> snapshot(const MemTable& t) { return QList<QVariantList>(t.rows().begin(), t.rows().end()); }

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
    for (const char* rows : {"rows -1", "rows 2147483648", "rows 99999999999999999999", "rows 0", "rows x"})
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
            // Still a valid file of as many entries: it replaces the catalogue, as any such file does.
            ++replaced;
            EXPECT_EQ(catalogue.recordCount(), 113) << i;
            for (const QVariantList& row : catalogue.rows()) EXPECT_LE(row[3].toString().size(), 1) << i;
        } else {
            ++refused;
            EXPECT_EQ(snapshot(catalogue), before) << i;
            const QString m = dialogs.messages()[0];
            EXPECT_TRUE(m.startsWith(QStringLiteral("Falha na abertura do arquivo:\r\n")) ||
                        m == QStringLiteral("O Arquivo selecionado está diferente das tabelas configuradas!"))
                << i << ": " << m.toStdString();
        }
    }
    EXPECT_GT(refused, 150);
    EXPECT_GT(replaced, 0);  // flipped bytes inside descriptions still make a readable file
}

}  // namespace
