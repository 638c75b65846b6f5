#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

#include "db/Database.h"

// Fixture files under tests/fixtures, loaded in order.
QStringList fixtureFiles(std::initializer_list<const char*> names);
QString fixturePath(const QString& name);

// A new, empty database file: WIN1252 by default, forced writes off.
void createEmptyDatabase(const QString& path);

// A new database at that connection string, built from fixture files.
void buildDatabase(const QString& connectionString, const QStringList& fixtures);

// Runs a script through an attachment: DDL is committed statement by statement, the rest at the
// end. Throws with the failing statement in the message.
void runSqlScript(Database& db, Transaction& tr, const QString& script);

// A database file of its own in a temporary folder, built from fixture files. The build happens
// once per set of files and test process; every instance gets its own copy of the file.
class TestDatabase {
public:
    explicit TestDatabase(const QStringList& fixtures = fixtureFiles({"schema.sql"}));
    ~TestDatabase();
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// Sets up and checks data as another program would. Every call attaches, runs, commits and
// detaches on its own, so that no attachment of the test stays open while an operation runs.
class Probe {
public:
    explicit Probe(const QString& path);
    ~Probe();
    void exec(const QString& sql);
    QVariant scalar(const QString& sql);
    qint64 count(const QString& tableOrSelect);
    QList<QVariantList> rows(const QString& sql);
    QStringList column(const QString& sql);

    // Keeps one attachment for the calls made while it lives, for reading much at once.
    class Hold {
    public:
        explicit Hold(Probe& probe);
        ~Hold();

    private:
        Probe& m_probe;
        bool m_owner;
    };

private:
    struct Attached;
    QString m_path;
    std::unique_ptr<Attached> m_held;
};

LoginParams sysdbaLogin();
