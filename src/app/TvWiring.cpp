#include "app/TvWiring.h"

#include "app/TForm1.h"
#include "desktop/TrayNotices.h"
#include "desktop/WindowModes.h"
#include "schedule/ScheduledViewing.h"
#include "schedule/TimeOfDay.h"
#include "tv/TvFeature.h"

#include <QMenu>
#include <QMenuBar>

namespace koro {

QMenu* addTvMenu(QMenuBar& bar) {
    auto* menu = new QMenu(QStringLiteral("电视频道"), &bar);
    menu->setObjectName("TvMenu");
    QAction* before = nullptr;
    const QList<QAction*> actions = bar.actions();
    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        if (actions[i]->menu() && actions[i]->menu()->objectName() == QLatin1String("selectway"))
            before = actions[i + 1];
    bar.insertMenu(before, menu);
    return menu;
}

tv::TvFeature* wireTv(TForm1& form, const QString& userFolder) {
    auto* menu = form.findChild<QMenu*>("TvMenu");
    tv::TvHooks hooks;
    const FormParts& parts = form.parts();
    hooks.remind = [viewing = parts.viewing](const QString& text, std::function<void()> watch) {
        viewing->remind(text, std::move(watch));
    };
    hooks.toggleCompact = [modes = parts.windowModes] { modes->ToggleCompactMode(); };
    hooks.notice = [notices = parts.trayNotices](const QString& title, const QString& text) {
        notices->ShowBalloonNotice(title, text, BalloonIconKind::Info, 10);
    };
    hooks.dialogParent = &form;
    hooks.clock = systemClock();
    return new tv::TvFeature(*parts.page, *menu, userFolder + QStringLiteral("/tv"),
                             std::move(hooks), &form);
}

} // namespace koro
