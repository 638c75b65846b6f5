#include "db/FbClient.h"

#include <vector>

#include "db/Win1252.h"

namespace fb {

Firebird::IMaster* master() {
    static Firebird::IMaster* const m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil* util() { return master()->getUtilInterface(); }

QString statusText(Firebird::IStatus* status) {
    std::vector<char> buffer(1024);
    for (;;) {
        const unsigned n = util()->formatStatus(buffer.data(), unsigned(buffer.size()), status);
        if (n < buffer.size() - 1 || buffer.size() > (1u << 20))
            return win1252::decode(buffer.data(), qsizetype(n));
        buffer.resize(buffer.size() * 4);
    }
}

ThrowStatus::ThrowStatus() : BaseStatusWrapper(master()->getStatus()) {}

ThrowStatus::~ThrowStatus() { dispose(); }

void ThrowStatus::checkException(ThrowStatus* s) {
    if (!s->dirty || !(s->getState() & Firebird::IStatus::STATE_ERRORS)) return;
    const QString message = statusText(s);
    s->clearException();
    throw Error(message);
}

CheckStatus::CheckStatus() : m_status(master()->getStatus()), m_wrapper(m_status) {}

CheckStatus::~CheckStatus() { m_status->dispose(); }

bool CheckStatus::failed() const {
    return (m_wrapper.getState() & Firebird::IStatus::STATE_ERRORS) != 0;
}

}  // namespace fb
