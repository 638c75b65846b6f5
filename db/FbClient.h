#pragma once

#include <firebird/Interface.h>
#include <ibase.h>

#include <QList>
#include <QString>

#include "base/Error.h"

// The release rules below (commit, rollback, detach, close and free release the interface when
// they succeed) are those of the 3.x headers; newer headers leave the release to the caller.
static_assert(FB_API_VER == 30, "the Firebird layer is written for the Firebird 3 client headers");

namespace fb {

// One error code of a status with the numbers that came with it, in their order.
struct StatusCode {
    intptr_t code;
    QList<intptr_t> numbers;
};

// A failure of the client library, carrying the client's own formatted message.
class Error : public AppError {
public:
    explicit Error(const QString& message, bool connectionLost = false,
                   QList<StatusCode> codes = {})
        : AppError(message), m_connectionLost(connectionLost), m_codes(std::move(codes)) {}
    // The connection to the server is gone: nothing more can be sent on it.
    bool connectionLost() const { return m_connectionLost; }
    // The status's entry with that code (isc_wrong_ods, ...), or null.
    const StatusCode* code(intptr_t code) const;

private:
    bool m_connectionLost;
    QList<StatusCode> m_codes;
};

// Whether what was thrown says the connection to the server is gone.
bool connectionLost(std::exception_ptr error);

Firebird::IMaster* master();
Firebird::IUtil* util();

// The formatted text of a status, copied at once: its strings do not outlive its reuse.
QString statusText(Firebird::IStatus* status);
// A server's text: UTF-8 where it was asked for (file names, service output), its code page
// otherwise.
QString decodeServerText(const char* data, qsizetype size);

// For calls that must succeed: every call clears the status first, so each one is checked on its
// own and a failure throws fb::Error with the client's text before the next call runs.
class ThrowStatus : public Firebird::BaseStatusWrapper<ThrowStatus> {
public:
    ThrowStatus();
    ~ThrowStatus();
    ThrowStatus(const ThrowStatus&) = delete;
    ThrowStatus& operator=(const ThrowStatus&) = delete;

    static void checkException(ThrowStatus* status);
};

// For calls whose failure is tolerated (close, free, rollback, detach of a dead connection).
class CheckStatus {
public:
    CheckStatus();
    ~CheckStatus();
    CheckStatus(const CheckStatus&) = delete;
    CheckStatus& operator=(const CheckStatus&) = delete;

    Firebird::CheckStatusWrapper* operator&() { return &m_wrapper; }
    bool failed() const;
    QString text() { return statusText(&m_wrapper); }

private:
    Firebird::IStatus* m_status;
    Firebird::CheckStatusWrapper m_wrapper;
};

// Interfaces are released, not disposed; this keeps one alive exactly as long as its owner.
template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : m_p(p) {}
    ~Ref() { reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) {
            reset();
            m_p = o.m_p;
            o.m_p = nullptr;
        }
        return *this;
    }
    void reset(T* p = nullptr) {
        if (m_p) m_p->release();
        m_p = p;
    }
    // For calls (commit, detach, close, free) that release the interface when they succeed.
    T* take() {
        T* p = m_p;
        m_p = nullptr;
        return p;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// Ends an interface with a call that releases it on success (close, free, detach, rollback):
// on failure the handle is let go all the same. Returns whether the call succeeded.
template <typename T, typename Call>
bool finish(Ref<T>& ref, Call call) {
    if (!ref) return true;
    CheckStatus st;
    call(ref.get(), &st);  // the checking wrapper: a failure is read, not thrown
    if (st.failed()) {
        ref.reset();
        return false;
    }
    ref.take();
    return true;
}

// Builders and status objects are disposed, not released.
template <typename T>
class Owned {
public:
    explicit Owned(T* p) : m_p(p) {}
    ~Owned() {
        if (m_p) m_p->dispose();
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }

private:
    T* m_p;
};

}  // namespace fb
