#pragma once

#include <firebird/Interface.h>

#include <QString>

#include "db/Error.h"

namespace fb {

// A failure of the client library, carrying the client's own formatted message.
class Error : public AppError {
public:
    using AppError::AppError;
};

Firebird::IMaster* master();
Firebird::IUtil* util();

// Status vector of one call; check() turns a failure into fb::Error with the formatted text.
class Status {
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    Firebird::CheckStatusWrapper* operator&() { return &m_wrapper; }
    bool failed() const;
    QString text();
    void check();
    void clear() { m_wrapper.init(); }

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

// Builders are disposed, not released.
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
