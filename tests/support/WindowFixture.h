#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <functional>

#include "app/uDepurix.h"
#include "support/ScriptedDialogs.h"

// The real window, with a hook into its refresh between two statements, where pending input would
// be served.
class TestWindow : public Tfrm_Depurix {
public:
    using Tfrm_Depurix::Tfrm_Depurix;
    std::function<void()> onRefresh;
    void refresh() override {
        Tfrm_Depurix::refresh();
        if (onRefresh) onRefresh();
    }
};

// The real window, shown offscreen, with scripted dialogs.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        QApplication::processEvents();
    }

    template <class T>
    T* child(const char* name) {
        T* w = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QLineEdit* path() { return child<QLineEdit>("edt_Caminho"); }
    QTableView* grid() { return child<QTableView>("dbg_Tabelas"); }

    void choose(int item) {
        auto radios = child<QWidget>("rg_Banco")->findChildren<QRadioButton*>();
        radios[item]->click();
        QApplication::processEvents();
    }
    void click(const char* name) {
        child<QAbstractButton>(name)->click();
        QApplication::processEvents();
    }
    QString currentKey() {
        MemTable& t = window.catalogue();
        return t.fieldAt(t.recNo(), QStringLiteral("TABELA_NOME")).toString();
    }

    ScriptedDialogs dialogs;
    TestWindow window{dialogs};
};
