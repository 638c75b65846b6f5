#pragma once

#include "catalogue/MemTable.h"
#include "frame/Session.h"
#include "support/FakeView.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

// What a cleanup test works with: a fresh copy of its fixture files, a probe of it, the window as
// the operation sees it (already on that database), scripted dialogs, the frame and a catalogue.
struct CleanupRig {
    explicit CleanupRig(const QStringList& fixtures) : tdb(fixtures), probe(tdb.path()) {
        view.path = tdb.path();
    }
    qint64 count(const char* sql) { return probe.count(QString::fromLatin1(sql)); }
    QString currentKey() const { return catalogue.field(QStringLiteral("TABELA_NOME")).toString(); }

    TestDatabase tdb;
    Probe probe;
    FakeView view;
    ScriptedDialogs dialogs;
    Session session{view, dialogs};
    MemTable catalogue;
};
