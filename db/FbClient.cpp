#include "db/FbClient.h"

#include <QStringDecoder>
#include <algorithm>
#include <iterator>
#include <vector>

#include "db/Win1252.h"

namespace fb {

#ifndef _WIN32
// Linked as usual; on Windows the library is looked for at run time (ClientLibraryWin.cpp).
Firebird::IMaster* master() {
    static Firebird::IMaster* const m = Firebird::fb_get_master_interface();
    return m;
}
#endif

Firebird::IUtil* util() { return master()->getUtilInterface(); }

QString decodeServerText(const char* data, qsizetype size) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(data, size));
    return utf8.hasError() ? win1252::decode(data, size) : text;
}

QString statusText(Firebird::IStatus* status) {
    std::vector<char> buffer(1024);
    for (;;) {
        const unsigned n = util()->formatStatus(buffer.data(), unsigned(buffer.size()), status);
        if (n < buffer.size() - 1 || buffer.size() > (1u << 20))
            return decodeServerText(buffer.data(), qsizetype(n));
        buffer.resize(buffer.size() * 4);
    }
}

ThrowStatus::ThrowStatus() : BaseStatusWrapper(master()->getStatus()) {}

ThrowStatus::~ThrowStatus() { dispose(); }

namespace {
bool lostConnection(const intptr_t* errors) {
    static const intptr_t lost[] = {isc_network_error, isc_net_read_err,       isc_net_write_err,
                                    isc_conn_lost,     isc_lost_db_connection, isc_att_shutdown,
                                    isc_shutdown,      isc_net_server_shutdown};
    for (const intptr_t* v = errors; *v != isc_arg_end; v += 2) {
        if (*v == isc_arg_gds &&
            std::find(std::begin(lost), std::end(lost), v[1]) != std::end(lost))
            return true;
        if (*v == isc_arg_cstring) ++v;  // a length, then the text
    }
    return false;
}

QList<StatusCode> statusCodes(const intptr_t* errors) {
    QList<StatusCode> out;
    for (const intptr_t* v = errors; *v != isc_arg_end; v += 2) {
        if (*v == isc_arg_gds)
            out.append(StatusCode{v[1], {}});
        else if (*v == isc_arg_number && !out.isEmpty())
            out.last().numbers.append(v[1]);
        else if (*v == isc_arg_cstring)
            ++v;
    }
    return out;
}
}  // namespace

const StatusCode* Error::code(intptr_t code) const {
    for (const StatusCode& c : m_codes)
        if (c.code == code) return &c;
    return nullptr;
}

void ThrowStatus::checkException(ThrowStatus* s) {
    if (!s->dirty || !(s->getState() & Firebird::IStatus::STATE_ERRORS)) return;
    const QString message = statusText(s);
    const intptr_t* errors = s->getErrors();
    const bool lost = lostConnection(errors);
    QList<StatusCode> codes = statusCodes(errors);
    s->clearException();
    throw Error(message, lost, std::move(codes));
}

bool connectionLost(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        return e.connectionLost();
    } catch (...) {
        return false;
    }
}

CheckStatus::CheckStatus() : m_status(master()->getStatus()), m_wrapper(m_status) {}

CheckStatus::~CheckStatus() { m_status->dispose(); }

bool CheckStatus::failed() const {
    return (m_wrapper.getState() & Firebird::IStatus::STATE_ERRORS) != 0;
}

}  // namespace fb
