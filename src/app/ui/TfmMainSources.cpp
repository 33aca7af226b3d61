// The main window and the sources of the results.
#include "app/ui/TfmMain.h"

#include "rank/lookup/EngineDefinitions.h"
#include "sources/OfferedSources.h"
#include "sources/SourceChoiceSetting.h"
#include "sources/SourceKeyStore.h"
#include "sources/ui/SourcesDialog.h"

void TfmMain::N20Click()
{
    const std::shared_ptr<const EngineDefinitions> definitions = EngineDefinitions::current();
    const SourceKeyStore store;
    SourcesDialog dialog(
        offeredSources(*definitions), SourceChoiceSetting::load(), store.load(), store, this);
    dialog.exec();
}
