#include "app/uDepurix.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <algorithm>
#include <utility>

#include "app/AnchorLayout.h"
#include "app/CatalogueModel.h"
#include "app/ErrorBox.h"
#include "app/IndicatorHeader.h"
#include "app/MarkDelegate.h"
#include "app/MarkImages.h"
#include "app/RadioGroup.h"
#include "app/StatusLine.h"
#include "base/Dialogs.h"
#include "catalogue/CatalogueBuilder.h"
#include "catalogue/Paths.h"
#include "catalogue/SavedSelection.h"
#include "catalogue/Selection.h"
#include "cleanup/CleanupRun.h"
#include "frame/Compacting.h"
#include "removals/Establishment.h"
#include "removals/Location99.h"
#include "removals/User.h"

namespace {
constexpr QSize kClientSize(784, 562);
constexpr int kStatusBarHeight = 19;

QString lines(std::initializer_list<const char*> parts) {
    QStringList out;
    for (const char* p : parts) out << QString::fromUtf8(p);
    return out.join(QLatin1Char('\n'));
}

// Tahoma where it exists; elsewhere a face of about its width, so captions fit their controls.
QFont tahoma(int points, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                   QStringLiteral("Liberation Sans")});
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

QPushButton* flatButton(const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);  // pressed with the mouse only
    return b;
}

void useTooltipBackground(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    p.setColor(QPalette::Text, p.color(QPalette::ToolTipText));
    w->setPalette(p);
}
}  // namespace

Tfrm_Depurix::Tfrm_Depurix(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      m_dialogs(dialogs),
      CDS_TABELAS(this),
      CDS_TEMP(this),
      m_session(*this, dialogs) {
    setObjectName(QStringLiteral("frm_Depurix"));
    setWindowTitle(QStringLiteral("Kembral Softwares - Limpeza do Banco de Dados"));
    setFont(tahoma(8));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    buildControls();
    wireHandlers();
    qApp->installEventFilter(this);  // key preview: the window sees every key first
}

Tfrm_Depurix::~Tfrm_Depurix() {
    qApp->removeEventFilter(this);
    setHourglass(false);
    // The grid reads the catalogue, a member: QWidget's destructor would hide it, and make it
    // ask for its header, only after the members are gone.
    delete dbg_Tabelas;
}

void Tfrm_Depurix::buildControls() {
    resize(kClientSize);
    setMinimumSize(kClientSize);  // the client area of an 800 x 600 window
    auto* anchors = new AnchorLayout(this, kClientSize);
    const Qt::Edges leftTop = Qt::LeftEdge | Qt::TopEdge;
    const Qt::Edges leftBottom = Qt::LeftEdge | Qt::BottomEdge;

    rg_Banco = new RadioGroup(QStringLiteral(" Banco de Dados "),
                              {QStringLiteral("VORNIX"), QStringLiteral("PDV")}, 2, this);
    rg_Banco->setObjectName(QStringLiteral("rg_Banco"));
    rg_Banco->setGeometry(8, 8, 345, 41);
    rg_Banco->setItemIndex(0);
    anchors->add(rg_Banco, leftTop);

    gbx_Caminho = new QGroupBox(QStringLiteral(" Caminho "), this);
    gbx_Caminho->setObjectName(QStringLiteral("gbx_Caminho"));
    gbx_Caminho->setGeometry(360, 8, 418, 41);
    anchors->add(gbx_Caminho, leftTop | Qt::RightEdge);

    edt_Caminho = new QLineEdit(gbx_Caminho);
    edt_Caminho->setObjectName(QStringLiteral("edt_Caminho"));
    edt_Caminho->setGeometry(9, 14, 402, 21);
    useTooltipBackground(edt_Caminho);
    auto* inBox = new AnchorLayout(gbx_Caminho, QSize(418, 41));
    inBox->add(edt_Caminho, leftTop | Qt::RightEdge);

    dbg_Tabelas = new QTableView(this);
    dbg_Tabelas->setObjectName(QStringLiteral("dbg_Tabelas"));
    dbg_Tabelas->setGeometry(8, 56, 345, 397);
    DS_TABELAS = new CatalogueModel(CDS_TABELAS, dbg_Tabelas);
    dbg_Tabelas->setModel(DS_TABELAS);
    dbg_Tabelas->setItemDelegate(new MarkDelegate(dbg_Tabelas));
    dbg_Tabelas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbg_Tabelas->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbg_Tabelas->setSelectionMode(QAbstractItemView::SingleSelection);
    dbg_Tabelas->setShowGrid(true);
    dbg_Tabelas->setToolTip(CatalogueModel::hint());
    dbg_Tabelas->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    dbg_Tabelas->horizontalHeader()->setHighlightSections(false);
    dbg_Tabelas->setColumnWidth(CatalogueModel::IdColumn, 31);
    // Windows's header style clips "Limpar" at 40 pixels: there the column takes the room its
    // title asks for from the description, and the grid keeps its width.
#ifdef Q_OS_WIN
    const int markWidth =
        std::max(40, dbg_Tabelas->horizontalHeader()->sectionSizeHint(CatalogueModel::MarkColumn));
#else
    const int markWidth = 40;
#endif
    dbg_Tabelas->setColumnWidth(CatalogueModel::DescriptionColumn, 234 - (markWidth - 40));
    dbg_Tabelas->setColumnWidth(CatalogueModel::MarkColumn, markWidth);
    dbg_Tabelas->setVerticalHeader(new IndicatorHeader(dbg_Tabelas));
    dbg_Tabelas->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dbg_Tabelas->verticalHeader()->setDefaultSectionSize(18);
    dbg_Tabelas->verticalHeader()->setMinimumWidth(12);
    dbg_Tabelas->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    useTooltipBackground(dbg_Tabelas);
    anchors->add(dbg_Tabelas, leftTop | Qt::BottomEdge);

    mmo_Log = new QPlainTextEdit(this);
    mmo_Log->setObjectName(QStringLiteral("mmo_Log"));
    mmo_Log->setGeometry(360, 48, 419, 321);
    mmo_Log->setReadOnly(true);
    mmo_Log->setFocusPolicy(Qt::StrongFocus);
    mmo_Log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmo_Log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmo_Log->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmo_Log->setFont(tahoma(8));
    useTooltipBackground(mmo_Log);
    {
        QPalette p = mmo_Log->palette();
        p.setColor(QPalette::Text, Qt::black);
        mmo_Log->setPalette(p);
    }
    anchors->add(mmo_Log, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    buildLogMenu();
    buildPathMenu();

    Label1 = new QLabel(QStringLiteral("Outras Operações:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(360, 374, 122, 16);
    Label1->setFont(tahoma(10, true));
    anchors->add(Label1, leftBottom);

    btn_Remover_Estabelecimento_Vornix = flatButton(
        QStringLiteral("Remover um Estabelecimento específico do Banco de Dados do VORNIX"), this);
    btn_Remover_Estabelecimento_Vornix->setObjectName(
        QStringLiteral("btn_Remover_Estabelecimento_Vornix"));
    btn_Remover_Estabelecimento_Vornix->setGeometry(360, 392, 417, 31);
    btn_Remover_Estabelecimento_Vornix->setToolTip(
        lines({"Esta opção exclui toda a movimentação vinculada ao estabelecimento",
               "informado, e em seguida exclui o estabelecimento do sistema.", "",
               "Esta opção está em constante desenvolvimento.",
               "Em alguns bancos podem ocorrer erros devido a tabelas ainda não tratadas."}));
    anchors->add(btn_Remover_Estabelecimento_Vornix, leftBottom);

    btn_Remover_Local_99 = flatButton(
        QStringLiteral("Remover o local '99' (parcial) do Banco de Dados do VORNIX"), this);
    btn_Remover_Local_99->setObjectName(QStringLiteral("btn_Remover_Local_99"));
    btn_Remover_Local_99->setGeometry(360, 422, 417, 31);
    btn_Remover_Local_99->setToolTip(
        lines({"Esta opção elimina pedidos, trocas, devoluções, saldo em estoque,",
               "custos, e toda movimentação vinculada ao local '99'.", "",
               "o financeiro vinculado a movimentação do local '99' também será excluída.", "",
               "Ao final do processamento exclui os locais '99' de todos os estabelecimentos.", "",
               "Pode ser utilizado por empresas que utilizavam o local '99', e que decidiram",
               "continuar trabalhando em um novo banco sem esta informação."}));
    anchors->add(btn_Remover_Local_99, leftBottom);

    btn_Remover_Usuario =
        flatButton(QStringLiteral("Remover usuário do Banco de dados do VORNIX"), this);
    btn_Remover_Usuario->setObjectName(QStringLiteral("btn_Remover_Usuario"));
    btn_Remover_Usuario->setGeometry(360, 452, 417, 31);
    anchors->add(btn_Remover_Usuario, leftBottom);

    btn_AbrirSelecao = flatButton(QStringLiteral("Abrir a última seleção das tabelas"), this);
    btn_AbrirSelecao->setObjectName(QStringLiteral("btn_AbrirSelecao"));
    btn_AbrirSelecao->setGeometry(8, 452, 185, 31);
    anchors->add(btn_AbrirSelecao, leftBottom);

    btn_SalvarSelecao = flatButton(QStringLiteral("Salvar a seleção das tabelas"), this);
    btn_SalvarSelecao->setObjectName(QStringLiteral("btn_SalvarSelecao"));
    btn_SalvarSelecao->setGeometry(192, 452, 161, 31);
    anchors->add(btn_SalvarSelecao, leftBottom);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(9, 495, 770, 2);
    anchors->add(Bevel1, leftBottom);

    btnIniciar = flatButton(QStringLiteral("Limpar tabelas selecionadas na lista"), this);
    btnIniciar->setObjectName(QStringLiteral("btnIniciar"));
    btnIniciar->setGeometry(8, 502, 346, 33);
    btnIniciar->setToolTip(
        QStringLiteral("Exclui os dados e inicializa o Generator das tabelas selecionadas.\n"));
    anchors->add(btnIniciar, leftBottom);

    cb_Produtos = new QCheckBox(QStringLiteral(" Produtos"), this);
    cb_Produtos->setObjectName(QStringLiteral("cb_Produtos"));
    cb_Produtos->setGeometry(361, 512, 73, 17);
    cb_Produtos->setChecked(true);
    cb_Produtos->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    anchors->add(cb_Produtos, leftBottom);

    cb_Tabelas = new QCheckBox(QStringLiteral(" Tabelas"), this);
    cb_Tabelas->setObjectName(QStringLiteral("cb_Tabelas"));
    cb_Tabelas->setGeometry(441, 512, 64, 17);
    cb_Tabelas->setChecked(true);
    cb_Tabelas->setFocusPolicy(Qt::ClickFocus);
    anchors->add(cb_Tabelas, leftBottom);

    btnFechar = flatButton(QStringLiteral("Fechar"), this);
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnFechar->setGeometry(520, 502, 260, 33);
    anchors->add(btnFechar, Qt::RightEdge | Qt::BottomEdge);

    sbr_Msg = new QStatusBar(this);
    sbr_Msg->setObjectName(QStringLiteral("sbr_Msg"));
    sbr_Msg->setSizeGripEnabled(false);
    sbr_Msg->setGeometry(0, kClientSize.height() - kStatusBarHeight, kClientSize.width(),
                         kStatusBarHeight);
    m_statusPanel = new StatusLine(sbr_Msg);
    m_statusPanel->setObjectName(QStringLiteral("sbr_Msg_panel0"));
    sbr_Msg->addWidget(m_statusPanel, 1);
    // Shown at the right while an operation runs: its progress, the time it has taken, a stop.
    m_progress = new QProgressBar(sbr_Msg);
    m_progress->setObjectName(QStringLiteral("sbr_Msg_progress"));
    m_progress->setFixedWidth(140);
    m_progress->setTextVisible(true);
    m_progress->setFormat(QStringLiteral("%v de %m"));
    m_elapsed = new QLabel(sbr_Msg);
    m_elapsed->setObjectName(QStringLiteral("sbr_Msg_elapsed"));
    m_elapsed->setMinimumWidth(40);
    m_elapsed->setAlignment(Qt::AlignCenter);
    btn_Parar = new QPushButton(QStringLiteral("Parar"), sbr_Msg);
    btn_Parar->setObjectName(QStringLiteral("btn_Parar"));
    btn_Parar->setFocusPolicy(Qt::NoFocus);
    btn_Parar->setToolTip(QStringLiteral("Para a operação entre dois comandos"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_progress, m_elapsed, btn_Parar}) {
        sbr_Msg->addPermanentWidget(w);
        w->hide();
    }
    anchors->add(sbr_Msg, Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge);

    imgExcluir = new QLabel(this);
    imgExcluir->setObjectName(QStringLiteral("imgExcluir"));
    imgExcluir->setGeometry(376, 6, 16, 16);
    imgExcluir->setPixmap(marks::tick());
    imgExcluir->hide();
    imgNaoExcluir = new QLabel(this);
    imgNaoExcluir->setObjectName(QStringLiteral("imgNaoExcluir"));
    imgNaoExcluir->setGeometry(400, 6, 16, 16);
    imgNaoExcluir->setPixmap(marks::noEntry());
    imgNaoExcluir->hide();

    const QList<QAbstractButton*> radios = rg_Banco->findChildren<QAbstractButton*>();
    QWidget::setTabOrder(mmo_Log, radios.value(0));
    if (radios.size() > 1) QWidget::setTabOrder(radios.value(0), radios.value(1));
    QWidget::setTabOrder(radios.value(radios.size() - 1), edt_Caminho);
    QWidget::setTabOrder(edt_Caminho, dbg_Tabelas);
}

void Tfrm_Depurix::buildLogMenu() {
    // The pane's own menu would speak English; its useful entries come back in Portuguese.
    auto action = [this](const char* name, const char* caption) {
        auto* a = new QAction(QString::fromUtf8(caption), mmo_Log);
        a->setObjectName(QString::fromLatin1(name));
        mmo_Log->addAction(a);
        return a;
    };
    QAction* copy = action("act_Copiar", "Copiar");
    copy->setEnabled(false);
    connect(mmo_Log, &QPlainTextEdit::copyAvailable, copy, &QAction::setEnabled);
    connect(copy, &QAction::triggered, mmo_Log, &QPlainTextEdit::copy);
    connect(action("act_SelecionarTudo", "Selecionar tudo"), &QAction::triggered, mmo_Log,
            &QPlainTextEdit::selectAll);
    action("act_Separador", "")->setSeparator(true);
    connect(action("act_CopiarTudo", "Copiar tudo"), &QAction::triggered, this,
            [this] { act_CopiarTudoExecute(); });
    connect(action("act_SalvarLog", "Salvar o log em arquivo…"), &QAction::triggered, this,
            [this] { operationHandler([this] { act_SalvarLogExecute(); }); });
    mmo_Log->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    save->setObjectName(QStringLiteral("sc_SalvarLog"));
    save->setContext(Qt::WindowShortcut);
    connect(save, &QShortcut::activated, this,
            [this] { operationHandler([this] { act_SalvarLogExecute(); }); });
}

void Tfrm_Depurix::buildPathMenu() {
    // The box's own entries stay (Qt's translation gives them in Portuguese); ours follow.
    auto action = [this](const char* name, const char* caption, auto handler) {
        auto* a = new QAction(QString::fromUtf8(caption), this);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, handler] { operationHandler(handler); });
        return a;
    };
    QAction* compact = action("act_CompactarAgora", "Compactar este banco agora…",
                              [this] { act_CompactarAgoraExecute(); });
    QAction* restore = action("act_RestaurarCopia", "Restaurar uma cópia de segurança…",
                              [this] { act_RestaurarCopiaExecute(); });
    edt_Caminho->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edt_Caminho, &QLineEdit::customContextMenuRequested, this,
            [this, compact, restore](const QPoint& at) {
                QMenu* menu = edt_Caminho->createStandardContextMenu();
                menu->addSeparator();
                menu->addAction(compact);
                menu->addAction(restore);
                menu->exec(edt_Caminho->mapToGlobal(at));
                delete menu;
            });
}

void Tfrm_Depurix::wireHandlers() {
    connect(rg_Banco, &RadioGroup::clicked, this,
            [this] { guarded(m_dialogs, [this] { rg_BancoClick(); }); });
    connect(btnFechar, &QPushButton::clicked, this, [this] { btnFecharClick(); });
    connect(btnIniciar, &QPushButton::clicked, this,
            [this] { operationHandler([this] { btnIniciarClick(); }); });
    connect(btn_Remover_Estabelecimento_Vornix, &QPushButton::clicked, this,
            [this] { operationHandler([this] { btn_Remover_Estabelecimento_VornixClick(); }); });
    connect(btn_Remover_Local_99, &QPushButton::clicked, this,
            [this] { operationHandler([this] { btn_Remover_Local_99Click(); }); });
    connect(btn_Remover_Usuario, &QPushButton::clicked, this,
            [this] { operationHandler([this] { btn_Remover_UsuarioClick(); }); });
    connect(btn_SalvarSelecao, &QPushButton::clicked, this,
            [this] { guarded(m_dialogs, [this] { btn_SalvarSelecaoClick(); }); });
    connect(btn_AbrirSelecao, &QPushButton::clicked, this,
            [this] { guarded(m_dialogs, [this] { btn_AbrirSelecaoClick(); }); });
    connect(cb_Produtos, &QCheckBox::clicked, this,
            [this] { guarded(m_dialogs, [this] { cb_ProdutosClick(); }); });
    connect(cb_Tabelas, &QCheckBox::clicked, this,
            [this] { guarded(m_dialogs, [this] { cb_TabelasClick(); }); });
    connect(btn_Parar, &QPushButton::clicked, this,
            [this] { guarded(m_dialogs, [this] { btn_PararClick(); }); });
    // A double click elsewhere on the grid is seen by eventFilter.
    connect(dbg_Tabelas, &QTableView::doubleClicked, this, [this] { gridDoubleClicked(); });
    connect(&CDS_TABELAS, &MemTable::currentRowChanged, this,
            [this](int row) { syncGridToCursor(row); });
    connect(&CDS_TABELAS, &MemTable::contentReset, this,
            [this] { syncGridToCursor(CDS_TABELAS.recNo()); });
    connect(dbg_Tabelas->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) CDS_TABELAS.setRecNo(current.row());
            });
}

template <class Handler>
void Tfrm_Depurix::operationHandler(Handler&& handler) {
    // Pending input is processed between statements: a click that would start a second
    // operation meanwhile does nothing, and neither does saving a log still being written.
    if (m_session.running()) {
        QApplication::beep();
        return;
    }
    guarded(m_dialogs, [&] {
        // The last lines of the log are in the pane before any error box shows.
        struct ShowHeld {
            Tfrm_Depurix* window;
            ~ShowHeld() { window->showHeld(); }
        } showHeld{this};
        handler();
    });
    m_nextOperation.clear();  // asked and not started: no name left for the next log
}

void Tfrm_Depurix::gridDoubleClicked() {
    if (m_session.running()) return;  // as the space key: marks do not change under an operation
    guarded(m_dialogs, [this] { dbg_TabelasDblClick(); });
}

bool Tfrm_Depurix::isGridMarginDoubleClick(QObject* watched, const QMouseEvent& event) const {
    // Headers, corner and the blank area of the cells; a cell itself reports doubleClicked, and
    // the scroll bars are not part of the grid.
    if (event.button() != Qt::LeftButton) return false;
    if (watched == dbg_Tabelas->viewport())
        return !dbg_Tabelas->indexAt(event.position().toPoint()).isValid();
    return watched == dbg_Tabelas->verticalHeader()->viewport() ||
           watched == dbg_Tabelas->horizontalHeader()->viewport() ||
           (watched->parent() == dbg_Tabelas && qobject_cast<QAbstractButton*>(watched));
}

void Tfrm_Depurix::centreOnScreen() {
    // The frame is centred; one taller or wider than the screen keeps its title bar on it.
    const QRect available = screen()->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(available.center());
    move(qMax(frame.left(), available.left()), qMax(frame.top(), available.top()));
}

DatabaseKind Tfrm_Depurix::databaseKind() const {
    return rg_Banco->itemIndex() == 1 ? DatabaseKind::Pdv : DatabaseKind::Vornix;
}

QString Tfrm_Depurix::statusText() const { return m_statusPanel->text(); }

// ---------------------------------------------------------------------------------------------
// Events

void Tfrm_Depurix::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    centreOnScreen();  // before the window is mapped: it opens where it stays
    guarded(m_dialogs, [this] { FormShow(); });
}

void Tfrm_Depurix::closeEvent(QCloseEvent* event) {
    // Closing in the middle of an operation would destroy its connection under it.
    if (m_session.running()) {
        event->ignore();
        QApplication::beep();
        return;
    }
    QWidget::closeEvent(event);
}

bool Tfrm_Depurix::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick &&
        isGridMarginDoubleClick(watched, *static_cast<QMouseEvent*>(event))) {
        gridDoubleClicked();
        return true;  // seen here only: a title divider would also fit its column to the text
    }
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        // The same press travels up to the parents when a child ignores it; see it once.
        const bool target =
            w == QApplication::focusWidget() || (!QApplication::focusWidget() && w == this);
        if (target && w->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            guarded(m_dialogs, [&] { FormKeyDown(watched, key->key()); });
        }
    }
    return QWidget::eventFilter(watched, event);  // never consumed: it still reaches the control
}

// ---------------------------------------------------------------------------------------------
// Handlers

void Tfrm_Depurix::FormShow() {
    rg_Banco->setItemIndex(0);
    rg_BancoClick();
    edt_Caminho->setFocus();
}

void Tfrm_Depurix::FormKeyDown(QObject* receiver, int key) {
    if (key != Qt::Key_Space) return;
    // A blank typed into the path is part of the path, not a toggle; and marks do not change
    // under a running operation.
    if (receiver == edt_Caminho || m_session.running()) return;
    dbg_TabelasDblClick();
}

void Tfrm_Depurix::rg_BancoClick() {
    const DatabaseKind kind = databaseKind();
    const bool erp = kind == DatabaseKind::Vornix;
    edt_Caminho->setText(defaultDatabasePath(kind));
    cb_Produtos->setVisible(erp);
    cb_Tabelas->setVisible(erp);
    btn_Remover_Estabelecimento_Vornix->setEnabled(erp);
    btn_Remover_Local_99->setEnabled(erp);
    CarregarTabelas(CDS_TABELAS, kind);
    DS_TABELAS->setDatabaseKind(kind);
    if (erp) {
        cb_Produtos->setChecked(false);
        cb_ProdutosClick();
        cb_Tabelas->setChecked(false);
        cb_TabelasClick();
    }
}

void Tfrm_Depurix::btnIniciarClick() {
    m_nextOperation = QStringLiteral("Limpeza das tabelas selecionadas");
    const RunAnswer answer =
        m_session.confirmRun(QStringLiteral("Confirma a Limpeza do Banco de Dados ?"), true);
    if (answer.choice == RunAnswer::Choice::No) return;
    LimparTabelas(m_session, CDS_TABELAS, databaseKind(), runOptions(answer));
}

void Tfrm_Depurix::btnFecharClick() { close(); }

void Tfrm_Depurix::btn_Remover_Estabelecimento_VornixClick() {
    m_nextOperation = QStringLiteral("Remoção de estabelecimento");
    RemoverEstabelecimento(m_session, m_dialogs);
}

void Tfrm_Depurix::btn_Remover_Local_99Click() {
    m_nextOperation = QStringLiteral("Remoção do local '99'");
    const RunAnswer answer = m_session.confirmRun(confirmacaoLocal99());
    if (answer.choice == RunAnswer::Choice::No) return;
    RemoverLocal99(m_session, m_dialogs, runOptions(answer));
}

void Tfrm_Depurix::btn_Remover_UsuarioClick() {
    m_nextOperation = QStringLiteral("Remoção de usuário");
    const int code = converterCodigoUsuario(m_dialogs.input(captionExclusao(), promptUsuario()));
    const RunAnswer answer = m_session.confirmRun(confirmacaoUsuario(code));
    if (answer.choice == RunAnswer::Choice::No) return;
    RemoverUsuario(m_session, code, runOptions(answer));
}

void Tfrm_Depurix::btn_PararClick() {
    if (!m_session.running()) return;
    const QString question =
        m_session.inServiceStep()
            ? QStringLiteral("Parar agora? O banco original não é alterado e o arquivo que está "
                             "sendo feito é apagado.")
        : m_session.simulating()
            ? QStringLiteral(
                  "Parar a simulação depois do comando atual? Nada foi gravado no "
                  "banco de dados.")
            : QStringLiteral(
                  "Parar a operação depois do comando atual? O que já foi gravado "
                  "continua gravado no banco de dados; uma tabela em andamento é desfeita.");
    if (m_dialogs.confirm(question, Dialogs::Default::No)) m_session.requestStop();
}

void Tfrm_Depurix::btn_SalvarSelecaoClick() { salvarSelecao(CDS_TABELAS, m_dialogs); }

void Tfrm_Depurix::btn_AbrirSelecaoClick() { abrirSelecao(CDS_TABELAS, CDS_TEMP, m_dialogs); }

void Tfrm_Depurix::cb_ProdutosClick() {
    marcarGrupo(CDS_TABELAS, productsGroup(), cb_Produtos->isChecked());
}

void Tfrm_Depurix::cb_TabelasClick() {
    marcarGrupo(CDS_TABELAS, basicTablesGroup(), cb_Tabelas->isChecked());
}

void Tfrm_Depurix::dbg_TabelasDblClick() { alternarMarca(CDS_TABELAS); }

void Tfrm_Depurix::act_CopiarTudoExecute() {
    QGuiApplication::clipboard()->setText(mmo_Log->toPlainText());
}

void Tfrm_Depurix::act_CompactarAgoraExecute() {
    m_nextOperation = QStringLiteral("Compactação do banco de dados");
    compactNow(m_session);
}

void Tfrm_Depurix::act_RestaurarCopiaExecute() {
    m_nextOperation = QStringLiteral("Restauração de uma cópia de segurança");
    restoreCopyNow(m_session);
}

void Tfrm_Depurix::act_SalvarLogExecute() {
    saveLogFile(m_dialogs, m_logOrigin, mmo_Log->toPlainText());
}
