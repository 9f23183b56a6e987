#pragma once

#include "app/TForm1.h"
#include "platform/fake/FakePlatform.h"
#include "support/Files.h"
#include "ui_TForm1.h"
#include "webengine/fake/FakeBrowserControl.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace koro::test {

// The whole main window on fakes, with its settings in a temporary folder of its own.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        fake = makeFakePlatform(dir.filePath("Favorites"));
    }

    // A window over the given Config.ini (none when empty), started as the program starts it;
    // currentDir stands for the current directory (the settings folder when empty).
    TForm1& start(const QByteArray& config = {}, const QString& currentDir = {}) {
        if (!config.isEmpty())
            writeFile(path("Config.ini"), config);
        form = std::make_unique<TForm1>(
            *fake.platform, browsers, endpoints,
            FormPaths{dir.path(), "koro", QDir(currentDir.isEmpty() ? dir.path() : currentDir)});
        form->FormCreate();
        return *form;
    }

    FakeBrowserControl* page() const { return browsers.instance(BrowserRole::PageArea); }
    FakeBrowserControl* loading() const { return browsers.instance(BrowserRole::LoadingIcon); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    FakePlatform fake;
    FakeBrowserFactory browsers;
    const Endpoints endpoints = Endpoints::local("http://127.0.0.1:9");
    std::unique_ptr<TForm1> form;
};

} // namespace koro::test
