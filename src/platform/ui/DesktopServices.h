#pragma once

#include <QString>
#include <memory>

// Opens documents and web addresses with the desktop's default handler.
// Tests install a recorder so that no browser is started.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    virtual bool openUrl(const QString& url) = 0;
    virtual bool openFile(const QString& path) = 0;

    static DesktopServices& instance();
    static void install(std::unique_ptr<DesktopServices> services);
};
