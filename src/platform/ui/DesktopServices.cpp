#include "platform/ui/DesktopServices.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

class SystemDesktopServices : public DesktopServices {
public:
    bool openUrl(const QString& url) override { return QDesktopServices::openUrl(QUrl(url)); }
    bool openFile(const QString& path) override
    {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

std::unique_ptr<DesktopServices>& slot()
{
    static std::unique_ptr<DesktopServices> current;
    return current;
}

} // namespace

DesktopServices& DesktopServices::instance()
{
    if (!slot())
        slot() = std::make_unique<SystemDesktopServices>();
    return *slot();
}

void DesktopServices::install(std::unique_ptr<DesktopServices> services)
{
    slot() = std::move(services);
}
