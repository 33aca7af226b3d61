// The main window and the region of a project.
#include "app/ui/TfmMain.h"

#include "app/frame/TfrRank.h"
#include "app/ui/RegionDialog.h"

#include <QPointer>

void TfmMain::N18Click()
{
    TfrRank* frame = selectedFrame();
    if (!frame)
        return;
    auto* dialog = new RegionDialog(frame->project().region, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<TfrRank> target(frame);
    connect(dialog, &QDialog::accepted, this, [this, dialog, target] {
        if (target)
            target->setRegion(dialog->region());
        showTabTips();
    });
    dialog->open();
}
