#include <gtest/gtest.h>
#include <ibase.h>

#include <QApplication>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <initializer_list>

namespace {
// Qt messages that say nothing about our code: a fragment of the message and why it is harmless.
// Everything else at warning level or above fails the test that raised it; remove a warning's
// cause rather than adding it here.
struct Harmless {
    const char* fragment;
    const char* why;
};
constexpr std::initializer_list<Harmless> kHarmless = {
    {"This plugin does not support propagateSizeHints()",
     "the headless platform has no window manager to pass a message box's size hints to"},
    {"This plugin does not support raise()",
     "the headless platform cannot stack a tooltip's window above the others"},
};

QtMessageHandler qtDefaultHandler = nullptr;
std::atomic<bool> warnedOutsideATest{false};

bool harmless(const QString& message) {
    for (const Harmless& h : kHarmless)
        if (message.contains(QLatin1String(h.fragment))) return true;
    return false;
}

const char* levelName(QtMsgType type) {
    return type == QtFatalMsg ? "fatal" : type == QtCriticalMsg ? "critical" : "warning";
}

// A warning is a fault the test did not see: make it fail that test.
void failOnQtWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || harmless(message)) {
        qtDefaultHandler(type, context, message);
        return;
    }
    const char* category = context.category ? context.category : "default";
    if (::testing::UnitTest::GetInstance()->current_test_info()) {
        ADD_FAILURE() << "Qt " << levelName(type) << " [" << category
                      << "]: " << message.toStdString();
    } else {
        warnedOutsideATest = true;
        qtDefaultHandler(type, context, message);
    }
    std::fflush(stdout);  // a fatal message aborts right after this
}
}  // namespace

int main(int argc, char** argv) {
    // Headless, and never near the technician's own files.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    // A runtime folder of our own (QTemporaryDir makes it 0700), so QStandardPaths has no reason
    // to warn.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qtDefaultHandler = qInstallMessageHandler(failOnQtWarnings);
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
#ifndef _WIN32
    // The engine's threads end before the process does, not during the leak check at exit.
    // (On Windows the client is loaded only when needed, and these tests need none.)
    fb_shutdown(0, fb_shutrsn_app_stopped);
#endif
    return result != 0 || warnedOutsideATest ? 1 : 0;
}
