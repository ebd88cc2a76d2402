// Linked into the test programs that check the window's Chinese texts: they
// run in Chinese whatever the machine's locale, as the tool does by default.
#include "ui/common/Language.h"

#include <QCoreApplication>

namespace {

void UseChinese()
{
    if (!ui::InstallLanguage(ui::Language::Chinese))
        qFatal("no Chinese translation");
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(UseChinese)
