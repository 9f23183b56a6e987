#pragma once

#include <QString>

class QMenu;
class QMenuBar;

namespace koro {

class TForm1;
namespace tv {
class TvFeature;
}

// The "电视频道" menu, placed in the menu bar after "线路选择"; before the caption row is made
// from the bar.
QMenu* addTvMenu(QMenuBar& bar);

// The TV feature on the main window's page area, its menu (addTvMenu), reminder and compact
// mode. userFolder: the folder of the user's settings.
tv::TvFeature* wireTv(TForm1& form, const QString& userFolder);

} // namespace koro
