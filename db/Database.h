#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "db/FbClient.h"
#include "db/Value.h"

// What the attachment is opened with: the fixed login of the target databases.
struct LoginParams {
    QString userName;
    QString password;
    QString characterSet;
    int sqlDialect = 3;
};

// Requests sent to the server, counted so that a caller's round trips can be checked.
struct RequestCounts {
    int queries = 0;     // cursors opened
    int statements = 0;  // statements executed without rows
    int commits = 0;
    int starts = 0;  // transactions started
    int total() const { return queries + statements + commits; }
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
    // Drops the attachment and any transaction still running on it, without committing: callers
    // commit first. Never throws, so a dead connection can always be let go.
    void close();
    bool isConnected() const { return bool(m_attachment); }

    Firebird::IAttachment* handle() const;
    RequestCounts& requests() { return m_requests; }

    // Sees every statement and commit sent, parameters written in as literals; for replaying a
    // run elsewhere. Costs nothing when not set.
    using Trace = std::function<void(const QString& sql)>;
    void setTrace(Trace trace) { m_trace = std::move(trace); }
    const Trace& trace() const { return m_trace; }

private:
    friend class Transaction;
    LoginParams m_login;
    QString m_connectionString;
    fb::Ref<Firebird::IAttachment> m_attachment;
    Transaction* m_transaction = nullptr;
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
    void commit();
    bool isActive() const { return bool(m_transaction); }
    // A statement run while no transaction is active starts one with the same parameters.
    Firebird::ITransaction* ensureActive();
    Database& database() const { return m_db; }

private:
    friend class Database;
    void abandon();  // rolls back if it can, then lets the handle go
    Database& m_db;
    fb::Ref<Firebird::ITransaction> m_transaction;
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

// A query component: SQL text, named parameters, and the rows of its last open.
class Query {
public:
    Query(Database& db, Transaction& tr);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    // Replacing the text closes the query and forgets its parameters.
    void setSql(const QString& sql);
    // Off for text whose ":NAME" are not parameters, such as the variables of a PSQL block.
    void setParamCheck(bool on) { m_paramCheck = on; }
    const QString& sql() const { return m_sql; }

    Param& paramByName(const QString& name);

    void open();
    void execSql();
    // Rows changed by the last parameterised execSql; -1 when not known.
    qint64 rowsAffected() const { return m_rowsAffected; }
    void close();
    bool isOpen() const { return m_open; }

    // Rows are fetched as they are visited; fetchAll reads the rest and gives the count.
    void first();
    void next();
    bool eof() const;
    int fetchAll();
    int recordCount() const { return int(m_rows.size()); }
    const Value& fieldByName(const QString& name) const;
    int fieldCount() const { return int(m_columns.size()); }
    const Value& field(int column) const;

private:
    struct Column {
        QString name;
        unsigned type, offset, nullOffset, length, charSet;
        int scale;
    };
    struct Prepared;

    bool fetchRow();
    void prepareIfNeeded(Firebird::ITransaction* tra);
    std::vector<unsigned char> inputMessage(Firebird::IMessageMetadata** meta);
    void describe(Firebird::IMessageMetadata* meta);
    void traceSql() const;

    Database& m_db;
    Transaction& m_tr;
    QString m_sql;
    bool m_paramCheck = true;
    QStringList m_paramNames;  // upper case, one per position
    std::vector<Param> m_params;
    std::unique_ptr<Prepared> m_prepared;

    bool m_open = false;
    bool m_exhausted = true;
    fb::Ref<Firebird::IResultSet> m_cursor;
    fb::Ref<Firebird::IMessageMetadata> m_outMeta;
    std::vector<unsigned char> m_outBuffer;
    std::vector<Column> m_columns;
    std::vector<std::vector<Value>> m_rows;
    qsizetype m_current = 0;
    qint64 m_rowsAffected = -1;
};
