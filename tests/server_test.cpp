// Working through a Firebird server over TCP, as technicians do with databases on other machines.
#include <gtest/gtest.h>

#include "support/TestDatabase.h"
#include "support/TestServer.h"

namespace {

TEST(ServerConnection, AttachesOverTcpWithPasswordAuthentication) {
    TestServer server;
    TestDatabase tdb(fixtureFiles({"schema.sql"}));
    Probe probe(server.connectionString(tdb.path()));
    EXPECT_EQ(probe.scalar(QStringLiteral(
                  "SELECT TRIM(MON$AUTH_METHOD) || ' ' || TRIM(MON$REMOTE_PROTOCOL) FROM MON$ATTACHMENTS "
                  "WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION"))
                  .toString(),
              QStringLiteral("Srp TCPv4"));
}

}  // namespace
