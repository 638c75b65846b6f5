// The window as the operations see it: status line, log, progress, and a paint at most once per
// display frame while one runs.
#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <utility>

#include "app/CatalogueModel.h"
#include "app/RadioGroup.h"
#include "app/StatusLine.h"
#include "app/uDepurix.h"

namespace {
constexpr qint64 kFrameMs = 16;
}  // namespace

QString Tfrm_Depurix::databasePath() const { return edt_Caminho->text(); }

void Tfrm_Depurix::disableOperationControls() {
    for (QWidget* w : std::initializer_list<QWidget*>{
             btnIniciar, btnFechar, btn_Remover_Estabelecimento_Vornix, btn_Remover_Local_99,
             dbg_Tabelas, mmo_Log, rg_Banco, gbx_Caminho})
        w->setEnabled(false);
    m_runClock.start();
    m_shownSeconds = -1;
    m_progress->setRange(0, 0);  // busy until the operation knows its steps
    showElapsed();
    for (QWidget* w : std::initializer_list<QWidget*>{m_progress, m_elapsed, btn_Parar}) w->show();
}

void Tfrm_Depurix::enableOperationControls() {
    const bool erp = databaseKind() == DatabaseKind::Vornix;
    btnIniciar->setEnabled(true);
    btnFechar->setEnabled(true);
    if (erp) {
        btn_Remover_Estabelecimento_Vornix->setEnabled(true);
        btn_Remover_Local_99->setEnabled(true);
    }
    dbg_Tabelas->setEnabled(true);
    mmo_Log->setEnabled(true);
    rg_Banco->setEnabled(true);
    gbx_Caminho->setEnabled(true);
    showHeld();  // the progress ends where the operation did
    for (QWidget* w : std::initializer_list<QWidget*>{m_progress, m_elapsed, btn_Parar}) w->hide();
}

void Tfrm_Depurix::setHourglass(bool on) {
    if (on == m_hourglass) return;  // the override cursor is a stack: push and pop it once
    m_hourglass = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Tfrm_Depurix::clearLog() {
    m_logEntries.clear();
    m_heldLog.clear();
    mmo_Log->clear();
    // From here on the log is the one of the operation starting now.
    m_logOrigin = {true, std::exchange(m_nextOperation, {}), databasePath(), false};
}

void Tfrm_Depurix::appendLog(const QString& entry) {
    // A simulation may be chosen after the start; its first line is written once it is one.
    if (m_session.simulating()) m_logOrigin.simulated = true;
    m_logEntries.append(entry);
    QString shown = entry;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Laying out one line at a time costs more than the statement that wrote it: during an
    // operation the lines go into the pane together, at the next paint.
    if (m_heldLog.isEmpty()) mmo_Log->viewport()->update();
    m_heldLog.append(shown);
    if (!m_session.running()) showHeld();
}

void Tfrm_Depurix::setStatus(const QString& text) { m_statusPanel->setText(text); }

void Tfrm_Depurix::showProgress(int done, int total) {
    // A progress bar repaints itself at once whenever its text changes: its value waits for the
    // next paint instead.
    m_heldDone = done;
    m_heldTotal = total;
    if (!m_progressHeld) m_progress->update();
    m_progressHeld = true;
    showElapsed();
}

void Tfrm_Depurix::showHeld() {
    if (std::exchange(m_gridRowHeld, false)) showGridRow(CDS_TABELAS.recNo());
    if (!m_heldLog.isEmpty()) mmo_Log->appendPlainText(std::exchange(m_heldLog, {}).join(u'\n'));
    if (std::exchange(m_progressHeld, false)) {
        m_progress->setUpdatesEnabled(false);  // painted with the rest of the window
        if (m_progress->maximum() != m_heldTotal) m_progress->setRange(0, m_heldTotal);
        m_progress->setValue(m_heldDone);
        m_progress->setUpdatesEnabled(true);
    }
}

void Tfrm_Depurix::showElapsed() {
    const qint64 seconds = m_runClock.isValid() ? m_runClock.elapsed() / 1000 : 0;
    if (seconds == m_shownSeconds) return;
    m_shownSeconds = seconds;
    m_elapsed->setText(QStringLiteral("%1:%2")
                           .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                           .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void Tfrm_Depurix::refresh() {
    showElapsed();
    if (paintDue()) {
        if (!isActiveWindow()) raise();
        // What changed since the last paint; the rest of the window stays as it was painted.
        if (m_paintHeld) {
            QEvent paint(QEvent::UpdateRequest);
            QCoreApplication::sendEvent(this, &paint);
        }
    }
    QCoreApplication::processEvents();
}

bool Tfrm_Depurix::paintDue() const {
    return !m_lastPaint.isValid() || m_lastPaint.elapsed() >= kFrameMs;
}

bool Tfrm_Depurix::event(QEvent* e) {
    // Painting what changed after every statement costs more than the statement itself on a small
    // database: while an operation runs the window paints at most once per display frame. The
    // status line is still set and pending input still served at every statement; a paint held
    // back is delivered when the frame is due.
    if (e->type() == QEvent::UpdateRequest) {
        if (m_session.running() && !paintDue()) {
            if (!m_paintHeld) {
                m_paintHeld = true;
                QTimer::singleShot(kFrameMs - m_lastPaint.elapsed(), this, [this] {
                    if (m_paintHeld)
                        QCoreApplication::postEvent(this, new QEvent(QEvent::UpdateRequest));
                });
            }
            return true;
        }
        m_paintHeld = false;
        m_lastPaint.restart();
        showHeld();
    }
    return QWidget::event(e);
}

void Tfrm_Depurix::processPendingEvents() { QCoreApplication::processEvents(); }

void Tfrm_Depurix::syncGridToCursor(int row) {
    // A cleanup looks entries up in the catalogue for every block: the grid follows at the next
    // paint, which the row indicator's move asks for.
    if (m_session.running()) {
        m_gridRowHeld = true;
        return;
    }
    showGridRow(row);
}

void Tfrm_Depurix::showGridRow(int row) {
    QItemSelectionModel* sel = dbg_Tabelas->selectionModel();
    if (row < 0) {
        sel->clear();
        return;
    }
    const QModelIndex current = sel->currentIndex();
    const int column = current.isValid() ? current.column() : CatalogueModel::DescriptionColumn;
    if (current.isValid() && current.row() == row) return;
    sel->setCurrentIndex(DS_TABELAS->index(row, column),
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
