#include "support/FakeView.h"

void FakeView::disableOperationControls() {
    controlsEnabled = false;
    events << QStringLiteral("disable");
}

void FakeView::enableOperationControls() {
    controlsEnabled = true;
    events << QStringLiteral("enable");
}

void FakeView::setHourglass(bool on) {
    hourglass = on;
    events << (on ? QStringLiteral("hourglass") : QStringLiteral("arrow"));
}

void FakeView::clearLog() {
    log.clear();
    events << QStringLiteral("clear");
}

void FakeView::refresh() {
    ++refreshes;
    if (onRefresh) onRefresh();
}
