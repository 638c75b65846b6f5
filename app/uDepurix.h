#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "app/LogFile.h"
#include "catalogue/Catalogues.h"
#include "catalogue/MemTable.h"
#include "frame/OperationView.h"
#include "frame/Session.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTableView;
class CatalogueModel;
class Dialogs;
class RadioGroup;
class StatusLine;

// The main window: wires the controls to the catalogue and the operations.
class Tfrm_Depurix : public QWidget, public OperationView {
    Q_OBJECT
public:
    // Dialogs are injected so that tests can answer them.
    explicit Tfrm_Depurix(Dialogs& dialogs, QWidget* parent = nullptr);
    ~Tfrm_Depurix() override;

    MemTable& catalogue() { return CDS_TABELAS; }
    Session& session() { return m_session; }
    const Session& session() const { return m_session; }
    DatabaseKind databaseKind() const;
    QStringList logEntries() const { return m_logEntries; }
    QString statusText() const;

    // OperationView
    QString databasePath() const override;
    void disableOperationControls() override;
    void enableOperationControls() override;
    void setHourglass(bool on) override;
    void clearLog() override;
    void appendLog(const QString& entry) override;
    void setStatus(const QString& text) override;
    void showProgress(int done, int total) override;
    void refresh() override;
    void processPendingEvents() override;

    // Handlers, named after the control and its event.
    void FormShow();
    void FormKeyDown(QObject* receiver, int key);
    void rg_BancoClick();
    void btnIniciarClick();
    void btnFecharClick();
    void btn_Remover_Estabelecimento_VornixClick();
    void btn_Remover_Local_99Click();
    void btn_Remover_UsuarioClick();
    void btn_AbrirSelecaoClick();
    void btn_SalvarSelecaoClick();
    void cb_ProdutosClick();
    void cb_TabelasClick();
    void dbg_TabelasDblClick();
    void btn_PararClick();
    void act_CopiarTudoExecute();
    void act_SalvarLogExecute();
    void act_CompactarAgoraExecute();
    void act_RestaurarCopiaExecute();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildControls();
    void buildLogMenu();
    void buildPathMenu();
    void wireHandlers();
    void syncGridToCursor(int row);
    void showGridRow(int row);
    void showElapsed();
    void gridDoubleClicked();
    bool isGridMarginDoubleClick(QObject* watched, const QMouseEvent& event) const;
    void centreOnScreen();
    bool paintDue() const;
    // Puts the log lines and the progress held since the last paint on screen.
    void showHeld();
    // Handlers of long operations do nothing while one runs.
    template <class Handler>
    void operationHandler(Handler&& handler);

    Dialogs& m_dialogs;
    MemTable CDS_TABELAS;
    MemTable CDS_TEMP;
    Session m_session;
    QStringList m_logEntries;
    LogOrigin m_logOrigin;
    QString m_nextOperation;  // named by the handler that may start it
    bool m_shown = false;
    bool m_hourglass = false;
    QElapsedTimer m_lastPaint;
    QElapsedTimer m_runClock;
    qint64 m_shownSeconds = -1;
    bool m_paintHeld = false;
    QStringList m_heldLog;  // appended lines not yet in the pane
    int m_heldDone = 0, m_heldTotal = 0;
    bool m_progressHeld = false;
    bool m_gridRowHeld = false;

    RadioGroup* rg_Banco = nullptr;
    QGroupBox* gbx_Caminho = nullptr;
    QLineEdit* edt_Caminho = nullptr;
    QTableView* dbg_Tabelas = nullptr;
    CatalogueModel* DS_TABELAS = nullptr;
    QPlainTextEdit* mmo_Log = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* btn_Remover_Estabelecimento_Vornix = nullptr;
    QPushButton* btn_Remover_Local_99 = nullptr;
    QPushButton* btn_Remover_Usuario = nullptr;
    QPushButton* btn_AbrirSelecao = nullptr;
    QPushButton* btn_SalvarSelecao = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* btnIniciar = nullptr;
    QCheckBox* cb_Produtos = nullptr;
    QCheckBox* cb_Tabelas = nullptr;
    QPushButton* btnFechar = nullptr;
    QStatusBar* sbr_Msg = nullptr;
    StatusLine* m_statusPanel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_elapsed = nullptr;
    QPushButton* btn_Parar = nullptr;
    QLabel* imgExcluir = nullptr;
    QLabel* imgNaoExcluir = nullptr;
};
