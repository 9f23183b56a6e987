#pragma once

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>

namespace koro::testing {

// A component with one property of each kind a language file can set.
class TProps : public QObject {
    Q_OBJECT
    Q_PROPERTY(int count MEMBER count)
    Q_PROPERTY(bool active MEMBER active)
    Q_PROPERTY(Mode mode MEMBER mode)
    Q_PROPERTY(Options options READ getOptions WRITE setOptions)
    Q_PROPERTY(QStringList items MEMBER items)
    Q_PROPERTY(double ratio MEMBER ratio)
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(QWidget* buddy MEMBER buddy)
    Q_PROPERTY(int readOnlyCount READ readOnlyCount)
public:
    enum Mode { NewForm, SameForm };
    Q_ENUM(Mode)
    enum Option { Bold = 1, Italic = 2, Underline = 4 };
    Q_DECLARE_FLAGS(Options, Option)
    Q_FLAG(Options)

    using QObject::QObject;
    int readOnlyCount() const { return 5; }
    Options getOptions() const { return options; }
    void setOptions(Options value) { options = value; }

    int count = 0;
    bool active = false;
    Mode mode = NewForm;
    Options options;
    QStringList items;
    double ratio = 0.0;
    QString text;
    QWidget* buddy = nullptr;
};

// A small form with menus, actions and controls nested the way a designer lays them out.
class TTestForm : public QWidget {
    Q_OBJECT
public:
    TTestForm() {
        setWindowTitle(QStringLiteral("TV"));
        auto* layout = new QVBoxLayout(this);
        auto* bar = new QMenuBar(this);
        bar->setObjectName(QStringLiteral("MainMenu1"));
        layout->addWidget(bar);
        xuanx = bar->addMenu(QStringLiteral("Options"));
        xuanx->setObjectName(QStringLiteral("xuanx"));
        menuexit = new QAction(QStringLiteral("Exit"), this);
        menuexit->setObjectName(QStringLiteral("menuexit"));
        xuanx->addAction(menuexit);

        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("Panel7"));
        layout->addWidget(panel);
        auto* inner = new QVBoxLayout(panel);
        group = new QGroupBox(QStringLiteral("Group"), panel);
        group->setObjectName(QStringLiteral("GroupBox1"));
        inner->addWidget(group);
        auto* groupLayout = new QVBoxLayout(group);
        label = new QLabel(QStringLiteral("Label"), group);
        label->setObjectName(QStringLiteral("Label1"));
        groupLayout->addWidget(label);
        button = new QPushButton(QStringLiteral("OK"), group);
        button->setObjectName(QStringLiteral("Button1"));
        groupLayout->addWidget(button);

        props = new TProps(this);
        props->setObjectName(QStringLiteral("Props"));
    }

    QMenu* xuanx;
    QAction* menuexit;
    QGroupBox* group;
    QLabel* label;
    QPushButton* button;
    TProps* props;
};

} // namespace koro::testing
