#include "db/Database.h"

#include "db/NamedParams.h"

using namespace Firebird;

// ---------------------------------------------------------------------------------------------
// TraceEntry

QString TraceEntry::literal() const {
    QString out;
    qsizetype next = 0, position = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql[i] != QLatin1Char('?') || position >= params.size()) continue;
        const Value& v = params[position++];
        QString text = QStringLiteral("NULL");
        if (v.isDateTime())
            text = QStringLiteral("'%1%2'")
                       .arg(v.asDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")))
                       .arg(v.tenthsOfMillisecond());
        else if (!v.isNull())
            text = QString::number(v.asInt64());
        out += sql.mid(next, i - next) + text;
        next = i + 1;
    }
    return out + sql.mid(next);
}

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
    fb::ThrowStatus st;
    LoginBlock dpb(m_login, LoginBlock::For::Database);
    const unsigned length = dpb.length();
    const unsigned char* buffer = dpb.buffer();

    fb::Ref<IProvider> provider(fb::master()->getDispatcher());
    const QByteArray path = m_connectionString.toUtf8();
    m_attachment.reset(provider->attachDatabase(&st, path.constData(), length, buffer));
    ++m_generation;
}

void Database::close() {
    if (m_transaction) m_transaction->rollback();
    // A dead connection cannot detach; letting it go is all there is.
    fb::finish(m_attachment, [](IAttachment* a, auto* st) { a->detach(st); });
}

// ---------------------------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Database& db) : m_db(db) { m_db.m_transaction = this; }

Transaction::~Transaction() {
    rollback();
    if (m_db.m_transaction == this) m_db.m_transaction = nullptr;
}

void Transaction::start() {
    if (m_transaction) throw fb::Error(QStringLiteral("A transação já está ativa"));
    IAttachment* att = m_db.handle();
    fb::ThrowStatus st;
    fb::Owned<IXpbBuilder> tpb(fb::util()->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0));
    tpb->insertTag(&st, isc_tpb_read_committed);
    tpb->insertTag(&st, isc_tpb_rec_version);
    tpb->insertTag(&st, isc_tpb_nowait);
    tpb->insertTag(&st, isc_tpb_write);
    const unsigned length = tpb->getBufferLength(&st);
    const unsigned char* buffer = tpb->getBuffer(&st);
    ++m_db.m_requests.starts;
    m_transaction.reset(att->startTransaction(&st, length, buffer));
}

void Transaction::commit() {
    if (!m_transaction || m_held) return;
    fb::ThrowStatus st;
    ++m_db.m_requests.commits;
    m_db.trace(TraceEntry::Kind::Commit, QStringLiteral("COMMIT"));
    m_transaction->commit(&st);
    m_transaction.take();  // a successful commit releases the interface
    m_uncommitted = 0;
}

bool Transaction::rollback() {
    if (!m_transaction) return true;
    m_uncommitted = 0;
    ++m_db.m_requests.rollbacks;
    m_db.trace(TraceEntry::Kind::Rollback, QStringLiteral("ROLLBACK"));
    return fb::finish(m_transaction, [](ITransaction* t, auto* st) { t->rollback(st); });
}

ITransaction* Transaction::ensureActive() {
    if (!m_transaction) start();
    return m_transaction.get();
}
