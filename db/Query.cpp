#include "db/Database.h"
#include "db/Message.h"
#include "db/NamedParams.h"
#include "db/Win1252.h"

using namespace Firebird;

namespace {
constexpr unsigned kDialect = 3;
}  // namespace

// What a prepared text keeps between executions: the statement, its output columns and the
// input message its values are written into.
struct Query::Prepared {
    unsigned generation = 0;  // the attachment the statement belongs to
    fb::Ref<IStatement> statement;
    bool described = false;
    std::vector<fb::Column> columns;
    std::vector<unsigned char> row;
    fb::InputMessage input;
};

Query::Query(Database& db, Transaction& tr) : m_db(db), m_tr(tr) {}

Query::~Query() { unprepare(); }

void Query::setSql(const QString& sql) {
    close();
    if (sql == m_sql && !m_positional.isNull()) return;
    unprepare();
    m_sql = sql;
    m_params.clear();
    if (m_paramCheck) {
        PositionalSql p = toPositional(sql);
        m_positional = std::move(p.sql);
        m_paramNames = std::move(p.names);
    } else {
        m_positional = sql;
        m_paramNames.clear();
    }
}

void Query::setParamCheck(bool on) {
    if (on == m_paramCheck) return;
    m_paramCheck = on;
    const QString text = m_sql;
    m_sql.clear();
    m_positional = QString();
    setSql(text);
}

Param& Query::paramByName(const QString& name) {
    const QString key = name.toUpper();
    const qsizetype pos = m_paramNames.indexOf(key);
    if (pos < 0) throw fb::Error(QStringLiteral("Parâmetro %1 não encontrado").arg(name));
    // One slot per distinct name, at the position of its first occurrence.
    if (m_params.size() < size_t(m_paramNames.size())) m_params.resize(size_t(m_paramNames.size()));
    return m_params[size_t(pos)];
}

bool Query::isPrepared() const {
    return m_prepared && m_prepared->generation == m_db.generation() && m_db.isConnected();
}

ITransaction* Query::prepare() {
    ITransaction* tra = m_tr.ensureActive();
    if (isPrepared()) return tra;
    m_prepared.reset();  // of an attachment that is gone: the handle only goes
    auto prepared = std::make_unique<Prepared>();
    fb::ThrowStatus st;
    const QByteArray text = win1252::encode(m_positional);
    ++m_db.requests().prepares;
    prepared->statement.reset(m_db.handle()->prepare(&st, tra, 0, text.constData(), kDialect,
                                                     IStatement::PREPARE_PREFETCH_METADATA));
    prepared->generation = m_db.generation();
    m_prepared = std::move(prepared);
    return tra;
}

QList<Value> Query::boundValues() const {
    QList<Value> values;
    values.reserve(m_paramNames.size());
    for (const QString& name : m_paramNames) {
        const size_t slot = size_t(m_paramNames.indexOf(name));
        values << (slot < m_params.size() ? m_params[slot].value() : Value());
    }
    return values;
}

unsigned char* Query::bindInput() {
    if (m_paramNames.isEmpty()) return nullptr;
    return m_prepared->input.write(boundValues());
}

ITransaction* Query::begin(TraceEntry::Kind kind, int& count) {
    close();
    ++count;
    if (m_db.tracing()) m_db.trace(kind, m_positional, boundValues());
    return prepare();
}

void Query::open() {
    ITransaction* tra = begin(TraceEntry::Kind::Query, m_db.requests().queries);
    Prepared& p = *m_prepared;
    fb::ThrowStatus st;
    unsigned char* in = bindInput();
    m_cursor.reset(p.statement->openCursor(&st, tra, p.input.metadata(), in, nullptr, 0));
    if (!p.described) {
        fb::Ref<IMessageMetadata> out(m_cursor->getMetadata(&st));
        p.columns = fb::describeColumns(out.get());
        p.row.assign(out->getMessageLength(&st), 0);
        p.described = true;
    }
    m_open = true;
    m_exhausted = false;
    m_current = 0;
    fetchRow();
}

void Query::execSql() {
    // The one place every statement passes: refused here, it never reaches the server.
    if (!m_tr.changesAllowed())
        throw fb::Error(QStringLiteral(
            "Comando recusado: as alterações desta operação ainda não foram preparadas."));
    ITransaction* tra = begin(TraceEntry::Kind::Statement, m_db.requests().statements);
    Prepared& p = *m_prepared;
    fb::ThrowStatus st;
    m_affectedKnown = true;
    m_rowsAffected = -1;
    unsigned char* in = bindInput();
    p.statement->execute(&st, tra, p.input.metadata(), in, nullptr, nullptr);
    m_tr.statementRan();
    m_affectedKnown = false;
}

qint64 Query::rowsAffected() {
    if (!m_affectedKnown) {
        m_affectedKnown = true;
        m_rowsAffected = -1;
        if (isPrepared()) {
            fb::ThrowStatus st;
            m_rowsAffected = qint64(m_prepared->statement->getAffectedRecords(&st));
        }
    }
    return m_rowsAffected;
}

void Query::close() {
    // Its transaction may be gone already; the handle still goes.
    fb::finish(m_cursor, [](IResultSet* c, auto* st) { c->close(st); });
    m_open = false;
    m_exhausted = true;
    m_rows.clear();
    m_current = 0;
}

void Query::unprepare() {
    close();
    if (!m_prepared) return;
    if (isPrepared())
        fb::finish(m_prepared->statement, [](IStatement* s, auto* st) { s->free(st); });
    m_prepared.reset();
}

bool Query::fetchRow() {
    if (m_exhausted || !m_cursor) return false;
    Prepared& p = *m_prepared;
    fb::ThrowStatus st;
    if (m_cursor->fetchNext(&st, p.row.data()) != IStatus::RESULT_OK) {
        m_exhausted = true;
        fb::finish(m_cursor, [](IResultSet* c, auto* s) { c->close(s); });
        return false;
    }
    std::vector<Value> row;
    row.reserve(p.columns.size());
    for (const fb::Column& c : p.columns) row.push_back(fb::decodeColumn(p.row.data(), c));
    m_rows.push_back(std::move(row));
    return true;
}

void Query::first() { m_current = 0; }

void Query::next() {
    if (m_current < qsizetype(m_rows.size())) ++m_current;
    if (m_current == qsizetype(m_rows.size())) fetchRow();
}

bool Query::eof() const { return !m_open || m_current >= qsizetype(m_rows.size()); }

int Query::fetchAll() {
    while (fetchRow()) {
    }
    return recordCount();
}

int Query::fieldCount() const { return m_open && m_prepared ? int(m_prepared->columns.size()) : 0; }

const Value& Query::fieldByName(const QString& name) const {
    const std::vector<fb::Column> none;
    const auto& columns = m_open && m_prepared ? m_prepared->columns : none;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) != 0) continue;
        if (m_current >= qsizetype(m_rows.size()))
            throw fb::Error(QStringLiteral("Nenhum registro atual para ler o campo %1").arg(name));
        return m_rows[size_t(m_current)][i];
    }
    throw fb::Error(QStringLiteral("Campo %1 não encontrado").arg(name));
}

const Value& Query::field(int column) const {
    if (column < 0 || column >= fieldCount() || m_current >= qsizetype(m_rows.size()))
        throw fb::Error(QStringLiteral("Nenhum valor na coluna %1").arg(column));
    return m_rows[size_t(m_current)][size_t(column)];
}
