#include "browse/LineSelection.h"

#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "config/Endpoints.h"
#include "webengine/BrowserControl.h"

#include <QAction>

namespace koro {

LineSelection::LineSelection(QAction* telcom, QAction* cnc, BrowserControl& page,
                             const Endpoints& endpoints, AppSettings& settings, QObject* parent)
    : QObject(parent)
    , m_telcom(telcom)
    , m_cnc(cnc)
    , m_page(page)
    , m_endpoints(endpoints)
    , m_settings(settings) {
    connect(m_telcom, &QAction::triggered, this, &LineSelection::telcomClick);
    connect(m_cnc, &QAction::triggered, this, &LineSelection::cncClick);
}

void LineSelection::telcomClick() {
    choose(true);
}

void LineSelection::cncClick() {
    choose(false);
}

void LineSelection::choose(bool telecom) {
    // Qt has already flipped the clicked item's mark: both are set here, whatever they were.
    m_telcom->setChecked(telecom);
    m_cnc->setChecked(!telecom);
    const QString& home = telecom ? m_endpoints.telecomHome : m_endpoints.netcomHome;
    m_settings.SP = codepage::fromUnicode(home);
    m_page.navigate(home);
}

} // namespace koro
