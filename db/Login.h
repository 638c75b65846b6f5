#pragma once

#include <QString>

#include "db/FbClient.h"

// What an attachment or a service is opened with: the fixed login of the target databases.
struct LoginParams {
    QString userName;
    QString password;
    QString characterSet;
    int sqlDialect = 3;
    // For reads that must not pay for the garbage of others' deletes (a check before a restore).
    bool noGarbageCollection = false;
};

// A parameter block carrying the login, for a database attachment (with the character set and
// dialect) or a service manager. With the UTF-8 flag, paths, user and password travel as UTF-8
// whatever the locale of either side.
class LoginBlock {
public:
    enum class For { Database, Service };
    LoginBlock(const LoginParams& login, For kind);
    unsigned length();
    const unsigned char* buffer();

private:
    fb::ThrowStatus m_status;
    fb::Owned<Firebird::IXpbBuilder> m_builder;
};
