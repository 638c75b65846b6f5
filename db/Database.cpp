#include "db/Database.h"

#include <ibase.h>

#include <cstring>

#include "db/NamedParams.h"
#include "db/Win1252.h"

using namespace Firebird;

// ---------------------------------------------------------------------------------------------
// Database

Database::Database(LoginParams login) : m_login(std::move(login)) {}

Database::~Database() { close(); }

IAttachment* Database::handle() const {
    if (!m_attachment) throw fb::Error(QStringLiteral("Banco de dados não conectado"));
    return m_attachment.get();
}

void Database::open() {
    close();
    fb::Status st;
    fb::Owned<IXpbBuilder> dpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    st.check();
    // With the UTF-8 flag the path, user and password travel as UTF-8 whatever the system's locale.
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    dpb->insertString(&st, isc_dpb_user_name, m_login.userName.toUtf8().constData());
    dpb->insertString(&st, isc_dpb_password, m_login.password.toUtf8().constData());
    dpb->insertString(&st, isc_dpb_lc_ctype, m_login.characterSet.toUtf8().constData());
    dpb->insertInt(&st, isc_dpb_sql_dialect, m_login.sqlDialect);
    st.check();

    fb::Ref<IProvider> provider(fb::master()->getDispatcher());
    const QByteArray path = m_connectionString.toUtf8();
    IAttachment* att = provider->attachDatabase(&st, path.constData(), dpb->getBufferLength(&st),
                                                dpb->getBuffer(&st));
    st.check();
    m_attachment.reset(att);
}

void Database::close() {
    if (m_transaction) m_transaction->abandon();
    if (!m_attachment) return;
    fb::Status st;
    m_attachment->detach(&st);
    if (st.failed())
        m_attachment.reset();  // a dead connection cannot detach; letting it go is all there is
    else
        m_attachment.take();
}

// ---------------------------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Database& db) : m_db(db) { m_db.m_transaction = this; }

Transaction::~Transaction() {
    abandon();
    if (m_db.m_transaction == this) m_db.m_transaction = nullptr;
}

void Transaction::start() {
    if (m_transaction) throw fb::Error(QStringLiteral("A transação já está ativa"));
    IAttachment* att = m_db.handle();
    fb::Status st;
    fb::Owned<IXpbBuilder> tpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
    st.check();
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    tpb->insertTag(&st, isc_tpb_write);
    st.check();
    ITransaction* tra = att->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
    ++m_db.m_requests.starts;
    st.check();
    m_transaction.reset(tra);
}

void Transaction::commit() {
    if (!m_transaction) return;
    fb::Status st;
    ++m_db.m_requests.commits;
    if (m_db.m_trace) m_db.m_trace(QStringLiteral("COMMIT"));
    m_transaction->commit(&st);
    st.check();
    m_transaction.take();  // a successful commit releases the interface
}

ITransaction* Transaction::ensureActive() {
    if (!m_transaction) start();
    return m_transaction.get();
}

void Transaction::abandon() {
    if (!m_transaction) return;
    fb::Status st;
    m_transaction->rollback(&st);
    if (st.failed())
        m_transaction.reset();
    else
        m_transaction.take();
}

// ---------------------------------------------------------------------------------------------
// Query

struct Query::Prepared {
    fb::Ref<IStatement> statement;
};

namespace {
constexpr unsigned kDialect = 3;

Value decodeValue(const unsigned char* buffer, unsigned type, unsigned offset, unsigned length,
                  unsigned charSet, int scale) {
    const unsigned char* p = buffer + offset;
    auto text = [charSet](const char* data, qsizetype n) {
        return charSet == 1 ? QString::fromLatin1(data, n) : win1252::decode(data, n);
    };
    switch (type) {
        case SQL_TEXT:
            return Value(text(reinterpret_cast<const char*>(p), qsizetype(length)));
        case SQL_VARYING: {
            ISC_USHORT n;
            std::memcpy(&n, p, sizeof n);
            return Value(text(reinterpret_cast<const char*>(p + 2), qsizetype(n)));
        }
        case SQL_SHORT: {
            ISC_SHORT v;
            std::memcpy(&v, p, sizeof v);
            return Value(qint64(v), scale);
        }
        case SQL_LONG: {
            ISC_LONG v;
            std::memcpy(&v, p, sizeof v);
            return Value(qint64(v), scale);
        }
        case SQL_INT64: {
            ISC_INT64 v;
            std::memcpy(&v, p, sizeof v);
            return Value(qint64(v), scale);
        }
        case SQL_FLOAT: {
            float v;
            std::memcpy(&v, p, sizeof v);
            return Value(double(v));
        }
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double v;
            std::memcpy(&v, p, sizeof v);
            return Value(v);
        }
        case SQL_TIMESTAMP: {
            ISC_TIMESTAMP ts;
            std::memcpy(&ts, p, sizeof ts);
            unsigned y, m, d, h, mi, s, f;
            fb::util()->decodeDate(ts.timestamp_date, &y, &m, &d);
            fb::util()->decodeTime(ts.timestamp_time, &h, &mi, &s, &f);
            return Value::timestamp(QDateTime(QDate(int(y), int(m), int(d)),
                                              QTime(int(h), int(mi), int(s), int(f / 10)), Qt::UTC),
                                    int(f % 10));
        }
        case SQL_TYPE_DATE: {
            ISC_DATE v;
            std::memcpy(&v, p, sizeof v);
            unsigned y, m, d;
            fb::util()->decodeDate(v, &y, &m, &d);
            return Value(QDate(int(y), int(m), int(d)));
        }
        case SQL_TYPE_TIME: {
            ISC_TIME v;
            std::memcpy(&v, p, sizeof v);
            unsigned h, mi, s, f;
            fb::util()->decodeTime(v, &h, &mi, &s, &f);
            return Value(QTime(int(h), int(mi), int(s), int(f / 10)));
        }
        case SQL_BOOLEAN:
            return Value(*p != 0);
        default:
            return Value(QStringLiteral("(BLOB)"));  // no statement of the tool reads other types
    }
}
}  // namespace

Query::Query(Database& db, Transaction& tr) : m_db(db), m_tr(tr) {}

Query::~Query() { close(); }

void Query::setSql(const QString& sql) {
    close();
    m_sql = sql;
    m_params.clear();
    m_paramNames = m_paramCheck ? toPositional(sql).names : QStringList();
}

Param& Query::paramByName(const QString& name) {
    const QString key = name.toUpper();
    const qsizetype pos = m_paramNames.indexOf(key);
    if (pos < 0) throw fb::Error(QStringLiteral("Parâmetro %1 não encontrado").arg(name));
    // One slot per distinct name, at the position of its first occurrence.
    if (m_params.size() < size_t(m_paramNames.size())) m_params.resize(size_t(m_paramNames.size()));
    return m_params[size_t(pos)];
}

std::vector<unsigned char> Query::inputMessage(IMessageMetadata** meta) {
    fb::Status st;
    const unsigned n = unsigned(m_paramNames.size());
    m_params.resize(size_t(n));
    std::vector<const Value*> values(n);
    for (unsigned i = 0; i < n; ++i)
        values[i] = &m_params[size_t(m_paramNames.indexOf(m_paramNames[qsizetype(i)]))].value();

    fb::Ref<IMetadataBuilder> builder(fb::master()->getMetadataBuilder(&st, n));
    st.check();
    // Type each position after what was bound to it; the server converts to the column's type.
    std::vector<bool> dateTime(n);
    for (unsigned i = 0; i < n; ++i) {
        const Value& v = *values[i];
        dateTime[i] = !v.isNull() && v.isDateTime();
        builder->setType(&st, i, (dateTime[i] ? SQL_TIMESTAMP : SQL_LONG) + 1);
        builder->setLength(&st, i, dateTime[i] ? sizeof(ISC_TIMESTAMP) : sizeof(ISC_LONG));
        builder->setScale(&st, i, 0);
    }
    st.check();
    IMessageMetadata* m = builder->getMetadata(&st);
    st.check();
    std::vector<unsigned char> buffer(m->getMessageLength(&st));
    for (unsigned i = 0; i < n; ++i) {
        const Value& v = *values[i];
        const ISC_SHORT nullFlag = v.isNull() ? -1 : 0;
        std::memcpy(buffer.data() + m->getNullOffset(&st, i), &nullFlag, sizeof nullFlag);
        if (v.isNull()) continue;
        unsigned char* p = buffer.data() + m->getOffset(&st, i);
        if (dateTime[i]) {
            const QDateTime dt = v.asDateTime();
            ISC_TIMESTAMP ts;
            ts.timestamp_date = fb::util()->encodeDate(
                unsigned(dt.date().year()), unsigned(dt.date().month()), unsigned(dt.date().day()));
            ts.timestamp_time = fb::util()->encodeTime(
                unsigned(dt.time().hour()), unsigned(dt.time().minute()),
                unsigned(dt.time().second()),
                unsigned(dt.time().msec()) * 10 + unsigned(v.tenthsOfMillisecond()));
            std::memcpy(p, &ts, sizeof ts);
        } else {
            const ISC_LONG l = v.asInteger();
            std::memcpy(p, &l, sizeof l);
        }
    }
    st.check();
    *meta = m;
    return buffer;
}

void Query::traceSql() const {
    if (!m_db.trace()) return;
    if (m_paramNames.isEmpty()) {
        m_db.trace()(m_sql);
        return;
    }
    // Each marker becomes the literal of the value bound to its name.
    const QString positional = toPositional(m_sql).sql;
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0, pos = 0; i < positional.size(); ++i) {
        if (positional[i] != QLatin1Char('?') || pos >= m_paramNames.size()) continue;
        const qsizetype slot = m_paramNames.indexOf(m_paramNames[pos++]);
        const Value v = size_t(slot) < m_params.size() ? m_params[size_t(slot)].value() : Value();
        QString literal = QStringLiteral("NULL");
        if (v.isDateTime())
            literal = QStringLiteral("'%1%2'")
                          .arg(v.asDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")))
                          .arg(v.tenthsOfMillisecond());
        else if (!v.isNull())
            literal = QString::number(v.asInt64());
        out += positional.mid(next, i - next) + literal;
        next = i + 1;
    }
    m_db.trace()(out + positional.mid(next));
}

void Query::describe(IMessageMetadata* meta) {
    fb::Status st;
    const unsigned count = meta->getCount(&st);
    m_columns.clear();
    for (unsigned i = 0; i < count; ++i) {
        const char* alias = meta->getAlias(&st, i);
        const char* field = meta->getField(&st, i);
        Column c;
        c.name = QString::fromUtf8(alias && *alias ? alias : field).trimmed();
        c.type = meta->getType(&st, i) & ~1u;
        c.offset = meta->getOffset(&st, i);
        c.nullOffset = meta->getNullOffset(&st, i);
        c.length = meta->getLength(&st, i);
        c.charSet = meta->getCharSet(&st, i);
        c.scale = meta->getScale(&st, i);
        m_columns.push_back(c);
    }
    m_outBuffer.assign(meta->getMessageLength(&st), 0);
    st.check();
}

void Query::open() {
    close();
    ITransaction* tra = m_tr.ensureActive();
    IAttachment* att = m_db.handle();
    const QByteArray text = win1252::encode(m_sql);
    fb::Status st;
    ++m_db.requests().queries;
    traceSql();
    IResultSet* cursor = nullptr;
    if (m_paramNames.isEmpty()) {
        cursor = att->openCursor(&st, tra, 0, text.constData(), kDialect, nullptr, nullptr, nullptr,
                                 nullptr, 0);
    } else {
        const QByteArray positional = win1252::encode(toPositional(m_sql).sql);
        m_prepared = std::make_unique<Prepared>();
        m_prepared->statement.reset(att->prepare(&st, tra, 0, positional.constData(), kDialect,
                                                 IStatement::PREPARE_PREFETCH_METADATA));
        st.check();
        IMessageMetadata* inMeta = nullptr;
        std::vector<unsigned char> in = inputMessage(&inMeta);
        fb::Ref<IMessageMetadata> inRef(inMeta);
        cursor = m_prepared->statement->openCursor(&st, tra, inMeta, in.data(), nullptr, 0);
    }
    st.check();
    m_cursor.reset(cursor);
    m_outMeta.reset(m_cursor->getMetadata(&st));
    st.check();
    describe(m_outMeta.get());
    m_open = true;
    m_exhausted = false;
    m_current = 0;
    fetchRow();
}

void Query::execSql() {
    close();
    ITransaction* tra = m_tr.ensureActive();
    IAttachment* att = m_db.handle();
    fb::Status st;
    ++m_db.requests().statements;
    traceSql();
    m_rowsAffected = -1;
    if (m_paramNames.isEmpty()) {
        const QByteArray text = win1252::encode(m_sql);
        att->execute(&st, tra, 0, text.constData(), kDialect, nullptr, nullptr, nullptr, nullptr);
        st.check();
        return;
    }
    const QByteArray positional = win1252::encode(toPositional(m_sql).sql);
    fb::Ref<IStatement> statement(att->prepare(&st, tra, 0, positional.constData(), kDialect, 0));
    st.check();
    IMessageMetadata* inMeta = nullptr;
    std::vector<unsigned char> in = inputMessage(&inMeta);
    fb::Ref<IMessageMetadata> inRef(inMeta);
    statement->execute(&st, tra, inMeta, in.data(), nullptr, nullptr);
    st.check();
    m_rowsAffected = qint64(statement->getAffectedRecords(&st));
    st.check();
}

void Query::close() {
    fb::Status st;
    if (m_cursor) {
        m_cursor->close(&st);
        if (st.failed())
            m_cursor.reset();  // its transaction may be gone already; the handle still goes
        else
            m_cursor.take();
        st.clear();
    }
    if (m_prepared && m_prepared->statement) {
        m_prepared->statement->free(&st);
        if (st.failed())
            m_prepared->statement.reset();
        else
            m_prepared->statement.take();
    }
    m_prepared.reset();
    m_outMeta.reset();
    m_open = false;
    m_exhausted = true;
    m_rows.clear();
    m_columns.clear();
    m_current = 0;
}

bool Query::fetchRow() {
    if (m_exhausted || !m_cursor) return false;
    fb::Status st;
    const int result = m_cursor->fetchNext(&st, m_outBuffer.data());
    st.check();
    if (result != IStatus::RESULT_OK) {
        m_exhausted = true;
        m_cursor->close(&st);
        if (st.failed())
            m_cursor.reset();
        else
            m_cursor.take();
        return false;
    }
    std::vector<Value> row;
    row.reserve(m_columns.size());
    for (const Column& c : m_columns) {
        ISC_SHORT nullFlag;
        std::memcpy(&nullFlag, m_outBuffer.data() + c.nullOffset, sizeof nullFlag);
        row.push_back(nullFlag ? Value()
                               : decodeValue(m_outBuffer.data(), c.type, c.offset, c.length,
                                             c.charSet, c.scale));
    }
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

const Value& Query::fieldByName(const QString& name) const {
    for (size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) != 0) continue;
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
