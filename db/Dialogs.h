#pragma once

#include <QString>

// Every modal dialog the tool shows; tests answer them, production shows real ones.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Question with "&Sim" and "&Não"; true only for "&Sim".
    virtual bool confirm(const QString& text) = 0;
    // Text input with "OK" and "Cancelar"; "Cancelar" or closing gives the empty text.
    virtual QString input(const QString& caption, const QString& prompt) = 0;
    // Plain message with one "OK" button and the application title.
    virtual void message(const QString& text) = 0;
    // Error box: stop icon, one "OK" button, the application title.
    virtual void error(const QString& text) = 0;
};

// The error box's full stop: added when the message's last character sorts above '.'.
QString withFinalStop(const QString& message);
