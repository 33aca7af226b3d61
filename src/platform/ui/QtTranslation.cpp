#include "platform/ui/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstring>

namespace {

// Texts Qt 6 shows in its file dialogs under a context its Russian catalogue does not have yet
// (the type column of the file list says "Folder").
class FileTypeTranslation : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(
        const char* context, const char* sourceText, const char* /*disambiguation*/, int /*n*/) const override
    {
        if (!context || !sourceText || std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const struct {
            const char* source;
            const char* russian;
        } kTexts[] = { { "Folder", "Папка" }, { "File Folder", "Папка" }, { "Drive", "Диск" },
            { "Shortcut", "Ярлык" }, { "Alias", "Псевдоним" }, { "Unknown", "Неизвестный" } };
        for (const auto& text : kTexts) {
            if (std::strcmp(sourceText, text.source) == 0)
                return QString::fromUtf8(text.russian);
        }
        return {};
    }

    bool isEmpty() const override { return false; }
};

} // namespace

bool installRussianQtTranslation(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(new FileTypeTranslation(&application));
    return QCoreApplication::installTranslator(translator);
}
