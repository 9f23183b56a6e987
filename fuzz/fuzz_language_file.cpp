// A language file of any content is applied to a form. Nothing may crash, and every text
// value of the form's section must land on the property its key names.

#include "FuzzSupport.h"
#include "LanguageTestForms.h"
#include "config/CodePage.h"
#include "config/Error.h"
#include "config/LanguageFile.h"
#include "config/ProfileFile.h"
#include "config/TextTrim.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMetaProperty>
#include <QPushButton>
#include <QVBoxLayout>

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

namespace koro::fuzz {

class TFuzzForm : public QWidget {
    Q_OBJECT
public:
    TFuzzForm() {
        auto* layout = new QVBoxLayout(this);
        auto* group = new QGroupBox(this);
        group->setObjectName(QStringLiteral("GroupBox1"));
        layout->addWidget(group);
        auto* label = new QLabel(group);
        label->setObjectName(QStringLiteral("Label1"));
        layout->addWidget(label);
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Button1"));
        layout->addWidget(button);
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("menuexit"));
        // Typed properties, whose values may fail to convert.
        auto* props = new koro::testing::TProps(this);
        props->setObjectName(QStringLiteral("Props"));
    }
};

} // namespace koro::fuzz

namespace {

using koro::fuzz::check;

// Names in language files match without regard to ASCII case only.
QByteArray asciiLower(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() > 0x7F)
            return QByteArray(1, '\0') + text.toUtf8(); // matches no ASCII name
    }
    return text.toLatin1().toLower();
}

bool hasProperty(const QObject* object, const QString& name) {
    const QByteArray wanted = asciiLower(name);
    for (int i = 0; i < object->metaObject()->propertyCount(); ++i) {
        if (QByteArray(object->metaObject()->property(i).name()).toLower() == wanted)
            return true;
    }
    return false;
}

// The text property a key's property name stands for; null when it names a typed property,
// an alias the object lacks, or nothing at all.
const char* textProperty(const QObject* object, const QString& name) {
    const QByteArray n = asciiLower(name);
    if (n == "hint")
        return object->metaObject()->indexOfProperty("toolTip") >= 0 ? "toolTip" : nullptr;
    if (n == "caption") {
        if (qobject_cast<const QAction*>(object) || qobject_cast<const QLabel*>(object) ||
            qobject_cast<const QPushButton*>(object))
            return "text";
        if (qobject_cast<const QGroupBox*>(object))
            return "title";
        if (auto* widget = qobject_cast<const QWidget*>(object); widget && widget->isWindow())
            return "windowTitle";
        return nullptr;
    }
    for (const char* text : {"text", "title", "windowTitle", "toolTip"}) {
        const int index = object->metaObject()->indexOfProperty(text);
        if (n == QByteArray(text).toLower() && index >= 0 &&
            object->metaObject()->property(index).typeId() == QMetaType::QString)
            return text;
    }
    return nullptr;
}

// A line that can neither fail nor change a name: a text property or no property at all.
bool cannotFail(const QObject* object, const QString& name) {
    if (textProperty(object, name))
        return true;
    const QByteArray n = asciiLower(name);
    return !hasProperty(object, name) && n != "caption" && n != "hint";
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = koro::fuzz::scratchFolder() + QStringLiteral("/2052.ini");
    koro::fuzz::writeFile(path, bytes);

    koro::fuzz::TFuzzForm form;
    // Lines may rename components; the check follows them from the names they start with.
    QHash<QByteArray, QObject*> byName;
    for (QObject* child : form.findChildren<QObject*>()) {
        if (!child->objectName().isEmpty())
            byName.insert(asciiLower(child->objectName()), child);
    }
    QStringList notices;
    koro::TLanguageFile language(path, [&](const QString& text) { notices.append(text); });
    bool failed = false;
    try {
        language.SetTargetForm(&form);
    } catch (const koro::Error&) {
        // A value that does not fit its property stops the section there.
        failed = true;
    }

    // The last text value given to each property before the section stops is the one it holds.
    const koro::ProfileFile file(path);
    const auto lines = file.readSection("TFuzzForm");
    QHash<QObject*, QHash<QByteArray, QString>> expected;
    // Once a line that may have failed is passed, whether the lines after it were applied is
    // unknown: every property they could set is left unchecked.
    bool unknownFromHere = false;
    for (const auto& [rawKey, rawValue] : lines) {
        const QString key = koro::codepage::toUnicode(rawKey);
        const QString value = koro::codepage::toUnicode(rawValue);
        const qsizetype dot = key.indexOf(u'.');
        const QString componentName =
            dot < 0 ? QString() : koro::trimBlanksAndControls(key.left(dot));
        const QString propertyName = koro::trimBlanksAndControls(dot < 0 ? key : key.mid(dot + 1));
        if (unknownFromHere) {
            // A rename may or may not have happened, so the line may reach any component.
            for (auto object = expected.begin(); object != expected.end(); ++object) {
                if (const char* property = textProperty(object.key(), propertyName))
                    object.value().remove(property);
            }
            continue;
        }
        QObject* component =
            componentName.isEmpty() ? &form : byName.value(asciiLower(componentName));
        if (!component)
            break;
        if (value.isEmpty())
            continue;
        if (asciiLower(propertyName) == "objectname") {
            // Which of two equal names is found is the search's business, not this check's.
            if (byName.value(asciiLower(value), component) != component)
                break;
            if (component != &form) {
                byName.remove(byName.key(component));
                byName.insert(asciiLower(value), component);
            }
            continue;
        }
        if (!cannotFail(component, propertyName)) {
            if (failed)
                unknownFromHere = true; // this line may be the one that failed
            continue;
        }
        if (const char* property = textProperty(component, propertyName))
            expected[component][property] = value;
    }
    for (auto object = expected.cbegin(); object != expected.cend(); ++object) {
        for (auto property = object.value().cbegin(); property != object.value().cend();
             ++property) {
            const QString actual = object.key()->property(property.key().constData()).toString();
            check(actual == property.value(), "a text value lands on its property",
                  object.key()->objectName().toUtf8() + '.' + property.key() + '=' +
                      property.value().toUtf8(),
                  actual.toUtf8());
        }
    }
    return 0;
}

#include "fuzz_language_file.moc"
