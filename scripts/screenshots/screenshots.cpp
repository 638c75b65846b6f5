// Takes the README's pictures of the real window on a real X display (run under Xvfb by
// scripts/screenshots.sh): each scene sets the window up, lets it paint, and grabs it from the
// screen.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "app/AppIcon.h"
#include "app/QtDialogs.h"
#include "app/uDepurix.h"
#include "base/Dialogs.h"

namespace {
// Says yes to every question and answers inputs from a list, as the technician in the pictures.
class Answers : public Dialogs {
public:
    QStringList inputs;
    RunAnswer::Choice run = RunAnswer::Choice::Yes;
    bool confirm(const QString&, Default) override { return true; }
    RunAnswer confirmRun(const QString&, bool, std::optional<bool>) override { return {run, false}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString input(const QString&, const QString&, const QString&) override {
        return inputs.isEmpty() ? QString() : inputs.takeFirst();
    }
    void message(const QString&) override {}
    void error(const QString& text) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }
};

void settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QTest::qWait(25);
    }
}

void shoot(QWidget& w, const QString& file) {
    settle();
    const QPixmap shot = w.screen()->grabWindow(w.winId());
    if (!shot.save(file)) std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    std::printf("%s\n", qPrintable(file));
}

template <class T>
T* child(QWidget& w, const char* name) {
    return w.findChild<T*>(QString::fromLatin1(name));
}

// The window that takes a picture of itself once, in the middle of a run.
class Window : public Tfrm_Depurix {
public:
    using Tfrm_Depurix::Tfrm_Depurix;
    int shootAtRefresh = 0;
    QString file;
    void refresh() override {
        Tfrm_Depurix::refresh();
        if (shootAtRefresh > 0 && --shootAtRefresh == 0) shoot(*this, file);
    }
};

// The question before a run, as the technician sees it; answered "Não".
void shootQuestion(QWidget& parent, const QString& file) {
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shoot(*box, file);
        box->reject();
    });
    QtDialogs(&parent).confirmRun(QStringLiteral("Confirma a Limpeza do Banco de Dados ?"), true,
                                  false);
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(applicationIcon());
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: depurix_screenshots OUTPUT_DIR ERP_DATABASE\n");
        return 2;
    }
    const QDir out(args[1]);
    const QString erp = args[2];
    Answers answers;
    Window window(answers);
    window.show();
    settle();
    child<QLineEdit>(window, "edt_Caminho")->setText(erp);
    shoot(window, out.filePath(QStringLiteral("inicio.png")));

    // A cleanup of the pre-sales and the pre-sale coupons' links, as the log shows it.
    child<QAbstractButton>(window, "cb_Produtos")->click();
    child<QAbstractButton>(window, "btnIniciar")->click();
    shoot(window, out.filePath(QStringLiteral("limpeza.png")));

    shootQuestion(window, out.filePath(QStringLiteral("pergunta.png")));

    // A simulation of a user's removal: what each statement would change, and nothing recorded.
    answers.run = RunAnswer::Choice::Simulate;
    answers.inputs = {QStringLiteral("3002")};
    child<QAbstractButton>(window, "btn_Remover_Usuario")->click();
    shoot(window, out.filePath(QStringLiteral("simulacao.png")));
    answers.run = RunAnswer::Choice::Yes;

    // Everything marked, caught halfway with its progress, its time and the stop button.
    child<QAbstractButton>(window, "cb_Tabelas")->click();
    window.shootAtRefresh = 150;
    window.file = out.filePath(QStringLiteral("em-andamento.png"));
    child<QAbstractButton>(window, "btnIniciar")->click();

    child<QLineEdit>(window, "edt_Caminho")
        ->setText(QDir::temp().filePath(QStringLiteral("nao-existe.fdb")));
    child<QAbstractButton>(window, "btnIniciar")->click();
    shoot(window, out.filePath(QStringLiteral("falha-conexao.png")));

    window.findChild<QWidget*>(QStringLiteral("rg_Banco"))
        ->findChildren<QRadioButton*>()[1]
        ->click();
    shoot(window, out.filePath(QStringLiteral("pdv.png")));
    return 0;
}
