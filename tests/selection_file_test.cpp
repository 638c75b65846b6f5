// The saved selection: the file format and the save and load buttons' behaviour.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Paths.h"
#include "catalogue/SavedSelection.h"
#include "catalogue/Selection.h"
#include "catalogue/SelectionFile.h"
#include "support/CatalogueMarks.h"
#include "support/ScriptedDialogs.h"
#include "support/TempMount.h"

namespace {

const QString kSaved = QStringLiteral("O arquivo foi salvo com sucesso.");

QList<QVariantList> snapshot(const MemTable& t) {
    return QList<QVariantList>(t.rows().begin(), t.rows().end());
}

class SelectionFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(QFileInfo(selectionFilePath()).absolutePath());
        QFile::remove(selectionFilePath());
        CarregarTabelas(catalogue, DatabaseKind::Vornix);
    }
    void writeFile(const QByteArray& bytes) {
        QFile f(selectionFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readFile() {
        QFile f(selectionFilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    MemTable catalogue;
    MemTable temp;
    ScriptedDialogs dialogs;
};

TEST_F(SelectionFileTest, RoundTripBringsBackTheSavedMarksAndPortugueseText) {
    MarcarTabela(catalogue, QStringLiteral("SCA_LIBERACAO"), QStringLiteral("S"));
    MarcarTabela(catalogue, QStringLiteral("SCG_LANCAMENTOCONTABIL"), QStringLiteral("N"));
    const QList<QVariantList> saved = snapshot(catalogue);
    salvarSelecao(catalogue, dialogs);
    EXPECT_EQ(dialogs.messages(), QStringList{kSaved});
    EXPECT_TRUE(readFile().contains("Lançamento Contábil"));

    MarcarTabela(catalogue, QStringLiteral("SCA_LIBERACAO"), QStringLiteral("N"));
    MarcarTabela(catalogue, QStringLiteral("SCA_ITEM"), QStringLiteral("N"));
    abrirSelecao(catalogue, temp, dialogs);
    EXPECT_EQ(dialogs.messages().size(), 1);  // a successful load says nothing
    EXPECT_EQ(snapshot(catalogue), saved);
    EXPECT_EQ(catalogue.recNo(), 0);
    EXPECT_EQ(catalogue.fieldDefs(), catalogueFields());
    EXPECT_EQ(temp.recordCount(), 0);
}

TEST_F(SelectionFileTest, AFileOfTheOtherDatabaseIsRefusedAndTheMarksStay) {
    salvarSelecao(catalogue, dialogs);
    MemTable pdv;
    markOnly(pdv, DatabaseKind::Pdv, {QStringLiteral("PDV_VENDA")});
    const QList<QVariantList> before = snapshot(pdv);
    abrirSelecao(pdv, temp, dialogs);
    EXPECT_EQ(dialogs.messages().last(),
              QStringLiteral("O Arquivo selecionado está diferente das tabelas configuradas!"));
    EXPECT_EQ(snapshot(pdv), before);

    saveTable(pdv, selectionFilePath());
    abrirSelecao(catalogue, temp, dialogs);
    EXPECT_EQ(dialogs.messages().last(),
              QStringLiteral("O Arquivo selecionado está diferente das tabelas configuradas!"));
    EXPECT_EQ(catalogue.recordCount(), 113);
}

TEST_F(SelectionFileTest, MissingFileSaysSo) {
    abrirSelecao(catalogue, temp, dialogs);
    EXPECT_EQ(dialogs.messages(), QStringList{QStringLiteral("Arquivo não encontrado!")});
}

TEST_F(SelectionFileTest, SavingTwiceReplacesTheFileWithoutLeftovers) {
    salvarSelecao(catalogue, dialogs);
    MarcarTabela(catalogue, QStringLiteral("SCA_LIBERACAO"), QStringLiteral("S"));
    salvarSelecao(catalogue, dialogs);
    EXPECT_EQ(dialogs.messages(), (QStringList{kSaved, kSaved}));
    CarregarTabelas(catalogue, DatabaseKind::Vornix);
    abrirSelecao(catalogue, temp, dialogs);
    catalogue.locate(QStringLiteral("TABELA_NOME"), QStringLiteral("SCA_LIBERACAO"),
                     Qt::CaseSensitive);
    EXPECT_EQ(catalogue.field(QStringLiteral("EXCLUIR")).toString(), QStringLiteral("S"));
    EXPECT_EQ(QDir(QFileInfo(selectionFilePath()).absolutePath()).entryList(QDir::Files),
              QStringList{QStringLiteral("Depurix.CDS")});
}

TEST_F(SelectionFileTest, SavingIntoAMissingDirectoryFailsWithTheReason) {
    QDir(QFileInfo(selectionFilePath()).absolutePath()).removeRecursively();
    salvarSelecao(catalogue, dialogs);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(
        dialogs.messages()[0].startsWith(QStringLiteral("Falha na gravação do arquivo:\r\n")));
    EXPECT_GT(dialogs.messages()[0].size(), 32);
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(selectionFilePath()).absolutePath()));
}

TEST_F(SelectionFileTest, DamagedFilesAreRefusedAndTheCatalogueStaysAsItWas) {
    salvarSelecao(catalogue, dialogs);
    const QByteArray good = readFile();
    const QByteArray header = good.left(good.indexOf("rows "));
    QByteArray wrongFields = good;
    wrongFields.replace("field DESCRICAO text 60", "field DESCRICAO text 61");
    QByteArray longValue = good;
    longValue.replace("\tS\n", "\tSS\n");
    QByteArray badInt = good;
    badInt.replace("\n1\t", "\numa\t");
    QByteArray hugeCount = header + "rows 9999999\nend\n";
    QByteArray extraRow = good;
    extraRow.replace("end\n", "999\tX\tY\tS\nend\n");

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"truncated", good.left(good.size() / 2)},
        {"no end", good.left(good.lastIndexOf("end"))},
        {"empty", QByteArray()},
        {"another format", QByteArray("PK\x03\x04 some zip file")},
        {"another version", QByteArray(good).replace("depurix-table 1", "depurix-table 2")},
        {"fields that do not fit", wrongFields},
        {"value too long", longValue},
        {"integer that is not one", badInt},
        {"huge count", hugeCount},
        {"row beyond the count", extraRow},
        {"bad escape", QByteArray(good).replace("Bancos", "Ban\\qcos")},
        {"not UTF-8", QByteArray(good).replace("Contábil",
                                               "Cont\xE1"
                                               "bil")},
    };
    MarcarTabela(catalogue, QStringLiteral("SCA_ITEM"), QStringLiteral("N"));
    const QList<QVariantList> before = snapshot(catalogue);
    for (const auto& c : cases) {
        writeFile(c.bytes);
        dialogs.shown.clear();
        abrirSelecao(catalogue, temp, dialogs);
        ASSERT_EQ(dialogs.messages().size(), 1) << c.name;
        EXPECT_TRUE(
            dialogs.messages()[0].startsWith(QStringLiteral("Falha na abertura do arquivo:\r\n")))
            << c.name << ": " << dialogs.messages()[0].toStdString();
        EXPECT_EQ(snapshot(catalogue), before) << c.name;
        EXPECT_TRUE(dialogs.errors().isEmpty());
    }
}

TEST(SelectionFileFormat, StoresFieldsAndEscapesWhatWouldBreakALine) {
    MemTable t;
    t.setFieldDefs(catalogueFields());
    t.createDataSet();
    t.append(
        {1, QStringLiteral("A\tB"), QStringLiteral("linha\r\nnova \\ barra"), QStringLiteral("S")});
    const QString path = QDir::temp().filePath(QStringLiteral("depurix-format-test.cds"));
    saveTable(t, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        f.readAll(),
        QByteArray("depurix-table 1\nfield TABELA_ORDEM integer 4\nfield TABELA_NOME text 31\n"
                   "field DESCRICAO text 60\nfield EXCLUIR text 1\nrows 1\n"
                   "1\tA\\tB\tlinha\\r\\nnova \\\\ barra\tS\nend\n"));
    MemTable back;
    loadTable(back, path);
    EXPECT_EQ(back.rows(), t.rows());
    QFile::remove(path);
}

TEST_F(SelectionFileTest, ASaveOnAFullDiskFailsAndLeavesThePreviousFileWhole) {
    salvarSelecao(catalogue, dialogs);
    const QByteArray previous = readFile();
    // The selection folder becomes a file system with room for little more than that file.
    const QString folder = QFileInfo(selectionFilePath()).absolutePath();
    TempMount fs(QStringLiteral("mode=0700"), previous.size() + 8192);
    if (!fs.ok()) GTEST_SKIP() << "this machine does not let tests mount file systems";
    QFile::copy(selectionFilePath(), fs.path(QStringLiteral("Depurix.CDS")));
    QDir(folder).removeRecursively();
    ASSERT_TRUE(QFile::link(fs.path(QString()), folder));
    {
        QFile filler(fs.path(QStringLiteral("enchimento")));
        filler.open(QIODevice::WriteOnly);
        while (filler.write(QByteArray(1024, 'x')) > 0) {
        }
    }
    MarcarTabela(catalogue, QStringLiteral("SCA_LIBERACAO"), QStringLiteral("S"));
    dialogs.shown.clear();
    salvarSelecao(catalogue, dialogs);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(
        dialogs.messages()[0].startsWith(QStringLiteral("Falha na gravação do arquivo:\r\n")))
        << dialogs.messages()[0].toStdString();
    EXPECT_EQ(readFile(), previous);
    QFile::remove(folder);
}

}  // namespace
