// Where the Windows build looks for the Firebird client, and what an operation says without it.
#include <gtest/gtest.h>

#include "db/ClientLibrary.h"

#ifdef Q_OS_WIN
#include <QDir>

#include "db/FbClient.h"
#include "frame/Session.h"
#include "support/OperationWindow.h"
#endif

namespace {

TEST(ClientLibrary, IsLookedForBesideTheProgramThenInTheRegisteredFirebirdThenAlongPath) {
    struct Case {
        const char* name;
        const char* program;
        const char* instance;
        QStringList expected;
    };
    const Case cases[] = {
        {"an installed server, its folder ending in a backslash",
         "C:\\Program Files\\Depurix",
         "C:\\Program Files\\Firebird\\Firebird_3_0\\",
         {QStringLiteral("C:\\Program Files\\Depurix\\fbclient.dll"),
          QStringLiteral("C:\\Program Files\\Firebird\\Firebird_3_0\\fbclient.dll"),
          QStringLiteral("C:\\Program Files\\Firebird\\Firebird_3_0\\bin\\fbclient.dll"),
          QStringLiteral("fbclient.dll")}},
        {"no Firebird registered", "E:\\depurix", "",
         {QStringLiteral("E:\\depurix\\fbclient.dll"), QStringLiteral("fbclient.dll")}},
        {"slashes and blanks", " D:/ferramentas/depurix/ ", "C:/Firebird",
         {QStringLiteral("D:\\ferramentas\\depurix\\fbclient.dll"),
          QStringLiteral("C:\\Firebird\\fbclient.dll"),
          QStringLiteral("C:\\Firebird\\bin\\fbclient.dll"), QStringLiteral("fbclient.dll")}},
        {"the program inside the Firebird folder, named in another case", "C:\\Firebird\\bin",
         "c:\\firebird",
         {QStringLiteral("C:\\Firebird\\bin\\fbclient.dll"),
          QStringLiteral("c:\\firebird\\fbclient.dll"), QStringLiteral("fbclient.dll")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fb::clientLibraryCandidates(QString::fromUtf8(c.program),
                                              QString::fromUtf8(c.instance)),
                  c.expected)
            << c.name;
}

TEST(ClientLibrary, TheMessageNamesEveryPlaceLookedInAndPathLast) {
    const QString text = fb::clientLibraryNotFound(
        {QStringLiteral("C:\\Depurix\\fbclient.dll"),
         QStringLiteral("C:\\Firebird\\fbclient.dll (versão anterior à 3.0)"),
         QStringLiteral("fbclient.dll")});
    EXPECT_TRUE(text.startsWith(QStringLiteral(
        "O cliente do Firebird (fbclient.dll, versão 3.0 ou mais nova) não foi encontrado. "
        "Procurado em: C:\\Depurix\\fbclient.dll; C:\\Firebird\\fbclient.dll (versão anterior "
        "à 3.0); pastas do PATH.\r\n")))
        << text.toStdString();
}

#ifdef Q_OS_WIN
// The program starts without the client; every operation then logs its connection failure with
// where the client was looked for, and the window is ready for the next one.
TEST_F(OperationWindowTest, WithoutTheClientEachOperationSaysWhereItWasLookedFor) {
    try {
        fb::master();
        GTEST_SKIP() << "a Firebird client is installed on this machine";
    } catch (const fb::Error&) {
    }
    EXPECT_EQ(path()->text(), QStringLiteral("C:\\KEMB\\VORNIX\\BD\\VORNIX.FDB"));
    const QString beside =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QStringLiteral("\\fbclient.dll");
    for (const Operation& op : operations()) {
        SCOPED_TRACE(op.name);
        run(op, kRun);
        const QString log =
            child<QPlainTextEdit>("mmo_Log")->toPlainText().remove(QLatin1Char('\r'));
        const QString failure = QLatin1String(op.button) == QLatin1String("btnIniciar")
                                    ? falhaConexaoLimpeza()
                                    : falhaConexao();
        EXPECT_TRUE(log.startsWith(
            QString(failure).remove(QLatin1Char('\r')) +
            QStringLiteral("O cliente do Firebird (fbclient.dll, versão 3.0 ou mais nova) não foi "
                           "encontrado. Procurado em: ") +
            beside + QStringLiteral("; pastas do PATH.")))
            << log.toStdString();
        EXPECT_TRUE(button(op.button)->isEnabled());
    }
}
#endif

}  // namespace
