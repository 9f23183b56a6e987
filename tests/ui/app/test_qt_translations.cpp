#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

TEST(QtTranslations, QtsOwnButtonsReadChineseWhateverTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_EQ(koro::installChineseQtTranslations(*QCoreApplication::instance()), 2);

    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    const QString yes = box.button(QMessageBox::Yes)->text();
    const QString no = box.button(QMessageBox::No)->text();
    const QString ok = buttons.button(QDialogButtonBox::Ok)->text();
    const QString cancel = buttons.button(QDialogButtonBox::Cancel)->text();

    // Later tests see Qt as it comes.
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    QLocale::setDefault(previous);

    EXPECT_TRUE(yes.startsWith("是")) << yes.toStdString();
    EXPECT_TRUE(no.startsWith("否")) << no.toStdString();
    EXPECT_TRUE(ok.startsWith("确定")) << ok.toStdString();
    EXPECT_TRUE(cancel.startsWith("取消")) << cancel.toStdString();
}

} // namespace
