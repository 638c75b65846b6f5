#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "db/FbClient.h"
#include "db/Login.h"
#include "db/Value.h"

// Requests sent to the server, counted so that a caller's round trips can be checked.
struct RequestCounts {
    int queries = 0;     // cursors opened
    int statements = 0;  // statements executed without rows
    int commits = 0;
    int starts = 0;    // transactions started
    int prepares = 0;  // texts prepared; a text run again unchanged is not prepared again
    int rollbacks = 0;
    int total() const { return queries + statements + commits; }
};

// One request as it was sent, for replaying a run elsewhere.
struct TraceEntry {
    enum class Kind { Query, Statement, Commit, Rollback };
    Kind kind;
    QString sql;          // the text prepared: named markers already turned into '?'
    QList<Value> params;  // the values bound to the markers, in their order
    // The values written into the text as literals, for tools that take plain SQL.
    QString literal() const;
};

class Transaction;

// One attachment to a database, by connection string (a file path or "host/port:path").
class Database {
public:
    explicit Database(LoginParams login);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void setConnectionString(const QString& s) { m_connectionString = s; }
    const QString& connectionString() const { return m_connectionString; }
    const LoginParams& login() const { return m_login; }

    void open();
    // Counts the attachments opened; a prepared statement belongs to one of them.
    unsigned generation() const { return m_generation; }
    // Drops the attachment and any transaction still running on it, without committing: callers
    // commit first. Never throws, so a dead connection can always be let go.
    void close();
    bool isConnected() const { return bool(m_attachment); }
    // The server's own version text ("LI-V4.0.5.3140 Firebird 4.0") and its major number, read
    // once when the attachment opens; empty and 0 while not connected.
    const QString& serverVersion() const { return m_serverVersion; }
    int serverMajor() const { return m_serverMajor; }
    // The major number of such a text; 0 when it has none.
    static int majorVersion(const QString& versionText);

    Firebird::IAttachment* handle() const;
    RequestCounts& requests() { return m_requests; }

    // Sees every query, statement, commit and rollback sent, with the values bound; for replaying
    // a run elsewhere. Costs nothing when not set.
    using Trace = std::function<void(const TraceEntry&)>;
    void setTrace(Trace trace) { m_trace = std::move(trace); }
    void trace(TraceEntry::Kind kind, const QString& sql, QList<Value> params = {}) const {
        if (m_trace) m_trace(TraceEntry{kind, sql, std::move(params)});
    }
    bool tracing() const { return bool(m_trace); }

private:
    friend class Transaction;
    void readServerVersion();

    LoginParams m_login;
    QString m_connectionString;
    fb::Ref<Firebird::IAttachment> m_attachment;
    QString m_serverVersion;
    int m_serverMajor = 0;
    Transaction* m_transaction = nullptr;
    unsigned m_generation = 0;
    RequestCounts m_requests;
    Trace m_trace;
};

// The one read-committed, record-version, no-wait, read-write transaction of an attachment.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void start();
    // Does nothing while commits are held.
    void commit();
    // Undoes everything since the start. A failure (a dead connection) only lets the handle go,
    // as the server discards the work of a transaction it never saw committed: false then.
    bool rollback();
    bool isActive() const { return bool(m_transaction); }
    // While held, the work of the attachment stays in one transaction that only a rollback or
    // the close ends: nothing is committed.
    void holdCommits(bool held) { m_held = held; }
    bool commitsHeld() const { return m_held; }
    // While refused, every statement of this transaction's queries is refused before it is sent;
    // reads still go. The operation frame refuses them until a run's changes are prepared.
    void allowChanges(bool allowed) { m_changesAllowed = allowed; }
    bool changesAllowed() const { return m_changesAllowed; }
    // Statements run since the last commit, the start or a rollback: what a rollback would undo.
    int uncommitted() const { return m_uncommitted; }
    void statementRan() { ++m_uncommitted; }
    // A statement run while no transaction is active starts one with the same parameters.
    Firebird::ITransaction* ensureActive();
    Database& database() const { return m_db; }

private:
    friend class Database;
    Database& m_db;
    fb::Ref<Firebird::ITransaction> m_transaction;
    bool m_held = false;
    bool m_changesAllowed = true;
    int m_uncommitted = 0;
};

// A named parameter's bound value.
class Param {
public:
    void setInteger(int v) { m_value = Value(Value::Data(qint64(v))); }
    void setDateTime(const QDateTime& v) { m_value = Value(Value::Data(v)); }
    // Binds a date-time as read, to the tenth of a millisecond; NULL binds the zero date.
    void setDateTime(const Value& v) {
        m_value = v.isDateTime() ? v : Value(Value::Data(v.asDateTime()));
    }
    void clear() { m_value = Value(); }
    const Value& value() const { return m_value; }

private:
    Value m_value;
};

// A query component: SQL text, named parameters, and the rows of its last open. The text is
// prepared once and kept prepared while it stays the same, so that opening or executing it again
// with new values costs only the execution.
class Query {
public:
    Query(Database& db, Transaction& tr);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // Closes the query. Another text frees the prepared statement and forgets the parameters;
    // the same text keeps both.
    void setSql(const QString& sql);
    // Off for text whose ":NAME" are not parameters, such as the variables of a PSQL block.
    void setParamCheck(bool on);
    const QString& sql() const { return m_sql; }

    Param& paramByName(const QString& name);

    void open();
    void execSql();
    // Rows changed by the last execSql; asked of the server only when wanted.
    qint64 rowsAffected();
    // Closes the cursor and forgets the rows; the statement stays prepared.
    void close();
    // Closes and frees the prepared statement.
    void unprepare();
    bool isOpen() const { return m_open; }
    bool isPrepared() const;

    // Rows are fetched as they are visited; fetchAll reads the rest and gives the count.
    void first();
    void next();
    bool eof() const;
    int fetchAll();
    int recordCount() const { return int(m_rows.size()); }
    const Value& fieldByName(const QString& name) const;
    int fieldCount() const;
    const Value& field(int column) const;

private:
    struct Prepared;

    Firebird::ITransaction* prepare();
    // What every request does first: the cursor closed, counted, traced, prepared.
    Firebird::ITransaction* begin(TraceEntry::Kind kind, int& count);
    unsigned char* bindInput();
    QList<Value> boundValues() const;
    bool fetchRow();

    Database& m_db;
    Transaction& m_tr;
    QString m_sql;
    bool m_paramCheck = true;
    QString m_positional;      // the text as prepared
    QStringList m_paramNames;  // upper case, one per position
    std::vector<Param> m_params;
    std::unique_ptr<Prepared> m_prepared;

    bool m_open = false;
    bool m_exhausted = true;
    bool m_affectedKnown = true;
    qint64 m_rowsAffected = -1;
    fb::Ref<Firebird::IResultSet> m_cursor;
    std::vector<std::vector<Value>> m_rows;
    qsizetype m_current = 0;
};
