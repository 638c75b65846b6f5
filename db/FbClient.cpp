#include "db/FbClient.h"

#include <vector>

#include "db/Win1252.h"

namespace fb {

Firebird::IMaster* master() {
    static Firebird::IMaster* const m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil* util() { return master()->getUtilInterface(); }

Status::Status() : m_status(master()->getStatus()), m_wrapper(m_status) {}

Status::~Status() { m_status->dispose(); }

bool Status::failed() const {
    return (m_wrapper.getState() & Firebird::IStatus::STATE_ERRORS) != 0;
}

QString Status::text() {
    // The status strings do not outlive its reuse: copy the formatted text at once.
    std::vector<char> buffer(1024);
    for (;;) {
        const unsigned n = util()->formatStatus(buffer.data(), unsigned(buffer.size()), &m_wrapper);
        if (n < buffer.size() - 1) return win1252::decode(buffer.data(), qsizetype(n));
        buffer.resize(buffer.size() * 4);
        if (buffer.size() > (1u << 20)) return win1252::decode(buffer.data(), qsizetype(n));
    }
}

void Status::check() {
    if (!failed()) return;
    const QString message = text();
    m_wrapper.init();
    throw Error(message);
}

}  // namespace fb
