#pragma once

#include <QStringList>

#include "support/CatalogueMarks.h"
#include "support/TestDatabase.h"
#include "support/WindowFixture.h"

// One of the four operations as the window starts it, on the fixture database it works on, with
// its generators moved on so that a restart shows.
struct Operation {
    const char* name;
    QStringList fixtures;
    const char* button;
    QStringList inputs;
    int steps;  // every entry marked, for the cleanup
};

inline QList<Operation> operations() {
    auto files = [](std::initializer_list<const char*> names) {
        return fixtureFiles(names) + fixtureFiles({"generators-advanced.sql"});
    };
    return {
        {"cleanup",
         files({"schema.sql", "keys.sql", "cleanup-base.sql", "cleanup-docs.sql"}),
         "btnIniciar",
         {},
         274 + 119 + 2},
        {"establishment",
         files({"schema.sql", "keys.sql", "establishment-removal.sql"}),
         "btn_Remover_Estabelecimento_Vornix",
         {QStringLiteral("5001")},
         42 + 214},
        {"location 99",
         files({"schema.sql", "keys.sql", "location-99.sql"}),
         "btn_Remover_Local_99",
         {},
         62},
        {"user",
         files({"schema.sql", "keys.sql", "user-removal.sql"}),
         "btn_Remover_Usuario",
         {QStringLiteral("3002")},
         7},
    };
}

class OperationWindowTest : public WindowTest {
protected:
    // Starts the operation from its button with the given answer; the cleanup with every entry
    // marked.
    void run(const Operation& op, const RunAnswer& answer) {
        dialogs.shown.clear();
        dialogs.inputAnswers = op.inputs;
        dialogs.runAnswers = {answer};
        if (QLatin1String(op.button) == QLatin1String("btnIniciar"))
            markAll(window.catalogue(), DatabaseKind::Vornix);
        click(op.button);
    }
};

inline const RunAnswer kSimulate{RunAnswer::Choice::Simulate, false};
inline const RunAnswer kRun{RunAnswer::Choice::Yes, false};
