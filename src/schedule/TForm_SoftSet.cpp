#include "schedule/TForm_SoftSet.h"

#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "config/SearchEngineName.h"
#include "config/Skins.h"
#include "platform/FileAttributes.h"
#include "ui_TForm_SoftSet.h"

#include <QDir>
#include <QMouseEvent>

namespace koro {

QStringList listSkinEntries(const QString& skinDir) {
    const QDir dir(skinDir, QStringLiteral("*.skn"), QDir::Unsorted,
                   QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QStringList names;
    const QFileInfoList entries = dir.entryInfoList();
    for (const QFileInfo& entry : entries) {
        if (!fileAttributes(entry).plainDirectory())
            names.append(entry.fileName());
    }
    return names;
}

namespace {

// The skin list's first entry stands for the built-in look; the file entries follow.
constexpr int BuiltInEntry = 0;

void selectSkin(QComboBox* box, const QByteArray& pifu) {
    if (isBuiltInSkin(pifu)) {
        box->setCurrentIndex(BuiltInEntry);
        return;
    }
    // Only among the files: a pifu spelled like the built-in entry names a file that is gone.
    const QString name = codepage::toUnicode(pifu);
    box->setCurrentIndex(-1);
    for (int i = BuiltInEntry + 1; i < box->count(); ++i) {
        if (box->itemText(i).compare(name, Qt::CaseInsensitive) == 0) {
            box->setCurrentIndex(i);
            return;
        }
    }
}

QByteArray flag(bool on) {
    return on ? QByteArray("1") : QByteArray("0");
}

} // namespace

TForm_SoftSet::TForm_SoftSet(AppSettings& settings, QString skinDir, SoftSetHooks hooks,
                             QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::TForm_SoftSet>())
    , m_settings(settings)
    , m_skinDir(std::move(skinDir))
    , m_hooks(std::move(hooks)) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(378, 230);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm_SoftSet::Button1Click);
    connect(m_ui->Button2, &QPushButton::clicked, this, &TForm_SoftSet::Button2Click);
    m_ui->LblPowerOff->installEventFilter(this);
    FormCreate();
    if (owner)
        move(owner->frameGeometry().center() - rect().center());
}

TForm_SoftSet::~TForm_SoftSet() = default;

void TForm_SoftSet::FormCreate() {
    if (m_settings.opennewfrm == "NewForm")
        m_ui->NewFormOpen->setCurrentIndex(0);
    else if (m_settings.opennewfrm == "OldForm")
        m_ui->NewFormOpen->setCurrentIndex(1);
    else
        m_ui->NewFormOpen->setCurrentIndex(-1);

    m_ui->pifuSet->addItem(builtInSkinCaption());
    m_ui->pifuSet->addItems(listSkinEntries(m_skinDir));
    selectSkin(m_ui->pifuSet, m_settings.pifu);

    // The engines show their Chinese names and keep the stored ones behind them.
    for (int i = 0; i < m_ui->CmbSearch->count(); ++i) {
        const QByteArray stored = m_ui->CmbSearch->itemText(i).toLatin1();
        m_ui->CmbSearch->setItemData(i, QString::fromLatin1(stored));
        m_ui->CmbSearch->setItemText(i, searchEngineDisplayName(stored));
    }
    const QByteArray engine = m_hooks.searchEngine ? m_hooks.searchEngine() : QByteArray();
    m_ui->CmbSearch->setCurrentIndex(
        m_ui->CmbSearch->findData(QString::fromLatin1(engine), Qt::UserRole, Qt::MatchFixedString));

    m_ui->CheckBox1->setChecked(m_settings.FrontShow == "1");
    m_ui->CheckBox2->setChecked(m_settings.CloseTips == "1");
    m_ui->CheckBox3->setChecked(m_settings.MinTask == "1");
    m_ui->CheckBox4->setChecked(m_settings.Minstart == "1");

    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (m_hooks.applyLanguage)
        m_hooks.applyLanguage(this);
}

void TForm_SoftSet::Button1Click() {
    if (m_ui->pifuSet->currentIndex() == BuiltInEntry) {
        if (!isBuiltInSkin(m_settings.pifu) && m_hooks.applyBuiltInSkin)
            m_hooks.applyBuiltInSkin();
    } else {
        const QByteArray skin = codepage::fromUnicode(m_ui->pifuSet->currentText());
        if (skin != m_settings.pifu && m_hooks.applySkin)
            m_hooks.applySkin(skin);
    }

    if (m_ui->NewFormOpen->currentIndex() == 0)
        m_settings.opennewfrm = "NewForm";
    else if (m_ui->NewFormOpen->currentIndex() == 1)
        m_settings.opennewfrm = "OldForm";

    if (m_hooks.setSearchEngine)
        m_hooks.setSearchEngine(m_ui->CmbSearch->currentData().toString() ==
                                QLatin1String("Baidu"));

    const bool onTop = m_ui->CheckBox1->isChecked();
    m_settings.FrontShow = flag(onTop);
    if (m_hooks.setAlwaysOnTop)
        m_hooks.setAlwaysOnTop(onTop);

    m_settings.CloseTips = flag(m_ui->CheckBox2->isChecked());

    const bool onTaskbar = m_ui->CheckBox3->isChecked();
    m_settings.MinTask = flag(onTaskbar);
    if (m_hooks.setMinimizeToTray)
        m_hooks.setMinimizeToTray(!onTaskbar);

    m_settings.Minstart = flag(m_ui->CheckBox4->isChecked());
    close();
}

void TForm_SoftSet::Button2Click() {
    close();
}

void TForm_SoftSet::LblPowerOffClick() {
    if (m_hooks.openShutdownDialog)
        m_hooks.openShutdownDialog();
    close();
}

bool TForm_SoftSet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->LblPowerOff && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        LblPowerOffClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace koro
