#include "platform/ui/SingleLineEdit.h"

#include <QLineEdit>

QString firstLine(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' || text[i] == u'\n')
            return text.left(i);
    return text;
}

void keepFirstLine(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        const QString kept = firstLine(text);
        if (kept.size() != text.size())
            edit->setText(kept);
    });
}
