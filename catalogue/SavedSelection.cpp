#include "catalogue/SavedSelection.h"

#include <QFileInfo>

#include "base/Error.h"
#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Paths.h"
#include "catalogue/SelectionFile.h"

void salvarSelecao(const MemTable& catalogue, Dialogs& dialogs) {
    try {
        saveTable(catalogue, selectionFilePath());
    } catch (...) {
        dialogs.message(QStringLiteral("Falha na gravação do arquivo:\r\n") +
                        errorMessage(std::current_exception()));
        return;
    }
    dialogs.message(QStringLiteral("O arquivo foi salvo com sucesso."));
}

void abrirSelecao(MemTable& catalogue, MemTable& temp, Dialogs& dialogs) {
    const QString path = selectionFilePath();
    if (!QFileInfo(path).isFile()) {
        dialogs.message(QStringLiteral("Arquivo não encontrado!"));
        return;
    }
    try {
        loadTable(temp, path);
        if (temp.recordCount() == catalogue.recordCount()) {
            if (temp.fieldDefs() != catalogueFields())
                throw AppError(QStringLiteral(
                    "Os campos do arquivo não correspondem aos da lista de tabelas"));
            catalogue.assign(temp);
        } else {
            dialogs.message(
                QStringLiteral("O Arquivo selecionado está diferente das tabelas configuradas!"));
        }
        temp.close();
    } catch (...) {
        temp.close();
        dialogs.message(QStringLiteral("Falha na abertura do arquivo:\r\n") +
                        errorMessage(std::current_exception()));
    }
}
