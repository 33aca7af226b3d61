#pragma once

class QCoreApplication;

// Qt's own Russian texts (standard buttons, file dialogs), so that "Да", "Нет", "Отмена" and
// "Сохранить" match the program's language. False when the translation is not installed; the
// standard texts then stay English.
bool installRussianQtTranslation(QCoreApplication& application);
