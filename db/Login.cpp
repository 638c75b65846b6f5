#include "db/Login.h"

using namespace Firebird;

LoginBlock::LoginBlock(const LoginParams& login, For kind)
    : m_builder(fb::util()->getXpbBuilder(
          &m_status, kind == For::Database ? IXpbBuilder::DPB : IXpbBuilder::SPB_ATTACH, nullptr,
          0)) {
    const bool db = kind == For::Database;
    m_builder->insertTag(&m_status, db ? isc_dpb_utf8_filename : isc_spb_utf8_filename);
    // The service block's user and password tags are the database block's own.
    m_builder->insertString(&m_status, isc_dpb_user_name, login.userName.toUtf8().constData());
    m_builder->insertString(&m_status, isc_dpb_password, login.password.toUtf8().constData());
    if (db && !login.characterSet.isEmpty())
        m_builder->insertString(&m_status, isc_dpb_lc_ctype,
                                login.characterSet.toUtf8().constData());
    if (db) m_builder->insertInt(&m_status, isc_dpb_sql_dialect, login.sqlDialect);
    if (db && login.noGarbageCollection)
        m_builder->insertTag(&m_status, isc_dpb_no_garbage_collect);
}

unsigned LoginBlock::length() { return m_builder->getBufferLength(&m_status); }

const unsigned char* LoginBlock::buffer() { return m_builder->getBuffer(&m_status); }
