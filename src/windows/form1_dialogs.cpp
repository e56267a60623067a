// The main window's commands that open the dialogs and the web site.

#include "app/failure.h"
#include "app/maker.h"
#include "app/settings.h"
#include "platform/mdl_visit_website.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/form3.h"
#include "windows/tri_state_check_box.h"

namespace vellumo {

namespace {
void showModeless(QWidget &dialog)
{
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}
} // namespace

void Form1::settings_Click()
{
    const bool reloaded = !existingForm2();
    Form2 &dialog = form2();
    if (reloaded) {
        // Closed with its close box earlier: show the stored state again.
        try {
            const std::int16_t stored = environment_.settings->updateList();
            if (stored >= 0 && stored <= 2)
                dialog.Check1->setValue(stored);
        } catch (const Failure &) {
            // A stored text that is no state leaves the box as it is.
        }
    }
    showModeless(dialog);
}

void Form1::about_Click()
{
    showModeless(form3());
}

void Form1::visit_Click()
{
    bezoek(maker::webSite);
}

void Form1::bezoek(const QString &site)
{
    platform::mdlVisitWebsite::openSite(site);
}

} // namespace vellumo
