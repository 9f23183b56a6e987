#include "browse/LineSelection.h"

#include "app/TForm1.h"
#include "config/CodePage.h"
#include "platform/BrowserControl.h"
#include "ui_TForm1.h"

#include <QAction>

namespace koro {

LineSelection::LineSelection(TForm1& form)
    : QObject(&form)
    , m_form(form) {
    connect(form.ui().telcom, &QAction::triggered, this, &LineSelection::telcomClick);
    connect(form.ui().cnc, &QAction::triggered, this, &LineSelection::cncClick);
}

void LineSelection::telcomClick() {
    choose(true);
}

void LineSelection::cncClick() {
    choose(false);
}

void LineSelection::choose(bool telecom) {
    // Qt has already flipped the clicked item's mark: both are set here, whatever they were.
    m_form.ui().telcom->setChecked(telecom);
    m_form.ui().cnc->setChecked(!telecom);
    const QString& home = telecom ? m_form.endpoints().telecomHome : m_form.endpoints().netcomHome;
    m_form.settings().SP = codepage::fromUnicode(home);
    m_form.webbrowser1()->navigate(home);
}

} // namespace koro
