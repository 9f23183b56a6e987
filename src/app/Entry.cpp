#include "app/Entry.h"

#include "app/KoroApplication.h"
#include "app/QtTranslations.h"
#include "app/TForm1.h"
#include "config/ApplicationTitle.h"
#include "config/ProgramFolder.h"
#include "desktop/WindowModes.h"
#include "platform/Platform.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LinuxSingleInstance.h"
#include "tv/PlaylistHandover.h"
#include "tv/TvFeature.h"
#include "webengine/OwnPages.h"
#include "webengine/PageEngineFlags.h"
#include "webengine/WebEngineBrowserFactory.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>

namespace koro {

namespace {

// Runs before the program has named itself, so the box carries the executable's default title.
void refuseSecondCopy() {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(),
                    QStringLiteral("主程序还在进程中,请在任务管理器里结束或者注销"),
                    QMessageBox::Ok);
    // The running copy may stay on top of everything; the box must not open behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

// Without a lock nothing can tell a second copy: the user learns it, and the program runs.
void reportNoLock() {
    QMessageBox box(QMessageBox::Warning, applicationTitle(),
                    QStringLiteral("无法在临时文件夹或运行目录中建立运行标记,"
                                   "无法确认是否已有另一个程序在运行。"),
                    QMessageBox::Ok);
    box.setObjectName("NoLockBox");
    box.exec();
}

// Before the first page: the engine reads its flags when it starts.
void prepareEngineAndTexts(QApplication& app) {
    // The engine's GL and start-up diagnostics are no problem worth reporting.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    const bool gpuUsable =
        hasRenderNode(QStringLiteral("/dev/dri")) && !isSoftwareRenderer(probeGlRenderer());
    const QByteArray flags = pageEngineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), gpuUsable);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    // Read when the page area makes its first window, which is later.
    if (const QByteArray backend = sceneGraphBackend(qgetenv("QT_QUICK_BACKEND"), flags);
        !backend.isEmpty())
        qputenv("QT_QUICK_BACKEND", backend);
    installChineseQtTranslations(app);
}

} // namespace

int runKoro(int argc, char** argv, const Endpoints& endpoints,
            const std::function<void(TForm1&)>& observe, const RunOptions& options) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    OwnPages::registerScheme();
    KoroApplication app(argc, argv);
    const QString executable = QCoreApplication::applicationFilePath();
    const QFileInfo exe(executable);
    const ProgramFolder folder =
        ProgramFolder::resolve(exe.absolutePath(), ProgramFolder::xdgDataHome());
    if (folder.perUser) // an installed copy writes nothing outside the user's folder
        qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    prepareEngineAndTexts(app);

    std::unique_ptr<Platform> platform = makeLinuxPlatform();
    WebEngineBrowserFactory browsers(platform->shell.get(),
                                     folder.perUser ? folder.path : QString());
    platform->singleInstance = std::make_unique<LinuxSingleInstance>(
        LinuxSingleInstance::defaultLockPaths(options.lockFolder));
    // A playlist given to a second copy goes to the running one, which shows it.
    const std::optional<QString> playlist =
        tv::playlistArgument(QCoreApplication::arguments(), QDir::currentPath());
    const QString handover = tv::handoverSocketPath(options.lockFolder);
    switch (platform->singleInstance->acquire()) {
    case SingleInstance::Mark::HeldByAnother:
        if (playlist && tv::handOverPlaylist(handover, *playlist))
            return 0;
        refuseSecondCopy();
        return 0;
    case SingleInstance::Mark::Unavailable:
        reportNoLock();
        break;
    case SingleInstance::Mark::Taken:
        break;
    }

    setApplicationTitle(QStringLiteral("Koro网络电视"));
    // Windows other than the main window must not end the program when they close.
    QApplication::setQuitOnLastWindowClosed(false);

    if (folder.perUser) // installed: the samples ship in the package's data folder
        seedUserFolder(folder.path, exe.absolutePath() + QStringLiteral("/../../share/koro"));
    TForm1 form(*platform, browsers, endpoints,
                FormPaths{folder.path, exe.completeBaseName(), QDir::current()});
    QObject::connect(&form, &TForm1::closed, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &form, [&form](QSessionManager& manager) {
            if (!form.FormCloseQuery())
                manager.cancel();
            else
                QMetaObject::invokeMethod(&form, &TForm1::closed, Qt::QueuedConnection);
        });
    if (observe)
        observe(form);
    form.FormCreate();
    form.show();
    tv::PlaylistReceiver receiver(handover);
    QObject::connect(&receiver, &tv::PlaylistReceiver::received, &form,
                     [&form](const QString& handed) {
                         form.parts().windowModes->ShowMainWindow();
                         form.parts().tv->open(handed);
                     });
    if (playlist) {
        // After the home page went out, or that would replace the channels.
        const auto open = [&form, path = *playlist] { form.parts().tv->open(path); };
        if (QTimer* goHome = form.timer("Timer_GoHome"))
            QObject::connect(goHome, &QObject::destroyed, &form, open);
        else
            open();
    }
    return app.exec();
}

} // namespace koro
