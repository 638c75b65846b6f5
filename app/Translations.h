#pragma once

#include <QTranslator>

// Qt's own texts (file dialog labels, the standard menus of text boxes, button captions) in
// Brazilian Portuguese. Looks in the program's "translations" folder first (the Windows package
// ships the file there), then in Qt's. False when neither has it: the texts stay in English.
bool loadQtTranslation(QTranslator& translator);
