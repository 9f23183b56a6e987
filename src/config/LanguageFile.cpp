#include "config/LanguageFile.h"

#include "config/CodePage.h"
#include "config/Error.h"
#include "config/TextTrim.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QVariant>

#include <limits>

namespace koro {

namespace {

// Blanks and control characters separate the items of a list value.
bool isBlank(QChar c) {
    return c.unicode() <= u' ';
}

char asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char(c - u'A' + 'a') : char(c);
}

bool asciiEqualNoCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a.at(i).unicode();
        const char16_t y = b.at(i).unicode();
        if (x == y)
            continue;
        if (x > 0x7f || y > 0x7f || asciiLower(x) != asciiLower(y))
            return false;
    }
    return true;
}

int findProperty(const QMetaObject* meta, QStringView name) {
    for (int i = 0; i < meta->propertyCount(); ++i) {
        if (asciiEqualNoCase(QString::fromLatin1(meta->property(i).name()), name))
            return i;
    }
    return -1;
}

// The Qt property that plays the part of a component's caption.
const char* captionProperty(const QObject* component) {
    if (qobject_cast<const QAction*>(component))
        return "text";
    if (qobject_cast<const QMenu*>(component))
        return "title";
    if (qobject_cast<const QAbstractButton*>(component) || qobject_cast<const QLabel*>(component))
        return "text";
    if (qobject_cast<const QGroupBox*>(component))
        return "title";
    if (auto* widget = qobject_cast<const QWidget*>(component); widget && widget->isWindow())
        return "windowTitle";
    return nullptr;
}

int resolveProperty(const QObject* component, const QString& name) {
    const QMetaObject* meta = component->metaObject();
    if (int index = findProperty(meta, name); index >= 0)
        return index;
    const char* alias = nullptr;
    if (asciiEqualNoCase(name, u"caption"))
        alias = captionProperty(component);
    else if (asciiEqualNoCase(name, u"hint"))
        alias = "toolTip";
    return alias ? meta->indexOfProperty(alias) : -1;
}

[[noreturn]] void conversionError(const QMetaProperty& property, const QString& value) {
    throw Error(QStringLiteral("'%1' is not a valid value for property %2")
                    .arg(value, QString::fromLatin1(property.name()))
                    .toStdString());
}

int enumValue(const QMetaEnum& meta, const QString& key, bool* ok) {
    const QByteArray bytes = key.toUtf8();
    int value = meta.keyToValue(bytes.constData(), ok);
    if (*ok)
        return value;
    for (int i = 0; i < meta.keyCount(); ++i) {
        if (asciiEqualNoCase(QString::fromLatin1(meta.key(i)), key)) {
            *ok = true;
            return meta.value(i);
        }
    }
    *ok = false;
    return 0;
}

// A set written as "[a,b]"; the brackets may be left out.
int flagValue(const QMetaEnum& meta, QString text, bool* ok) {
    text = trimBlanksAndControls(text);
    if (text.startsWith(u'['))
        text.remove(0, 1);
    if (text.endsWith(u']'))
        text.chop(1);
    int result = 0;
    *ok = true;
    for (const QString& part : text.split(u',')) {
        const QString key = trimBlanksAndControls(part);
        if (key.isEmpty())
            continue;
        result |= enumValue(meta, key, ok);
        if (!*ok)
            return 0;
    }
    return result;
}

bool inRange(qlonglong value, int typeId) {
    auto fits = [value]<typename T>(T) {
        return value >= qlonglong(std::numeric_limits<T>::min()) &&
               (value < 0 || qulonglong(value) <= qulonglong(std::numeric_limits<T>::max()));
    };
    switch (typeId) {
    case QMetaType::Int:
        return fits(int{});
    case QMetaType::UInt:
        return fits(uint{});
    case QMetaType::Short:
        return fits(short{});
    case QMetaType::UShort:
        return fits(ushort{});
    case QMetaType::SChar:
        return fits(qint8{});
    case QMetaType::UChar:
        return fits(quint8{});
    case QMetaType::Long:
        return fits(long{});
    case QMetaType::ULong:
        return fits(ulong{});
    case QMetaType::ULongLong:
        return value >= 0;
    default:
        return true;
    }
}

bool isIntegerType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

QString typeNameOf(const QMetaProperty& property) {
    QString name = QString::fromLatin1(property.typeName());
    if (name.endsWith(u'*'))
        name.chop(1);
    return name.trimmed();
}

} // namespace

TLanguageFile::TLanguageFile(const QString& secondaryPath, InfoCallback info)
    : m_info(info ? std::move(info) : InfoCallback(&TLanguageFile::showInformation)) {
    OpenLanguageFile(secondaryPath);
}

TLanguageFile::~TLanguageFile() = default;

void TLanguageFile::OpenLanguageFile(const QString& path) {
    if (path == m_filePath || !QFileInfo(path).isFile())
        return;
    m_file.reset();
    m_filePath = path;
    m_file = std::make_unique<ProfileFile>(path);
    m_commonTexts = readLines(*m_file, QStringLiteral("common"));
    ApplySection(m_targetForm, m_file.get());
}

void TLanguageFile::SetTargetForm(QWidget* form) {
    if (form == m_targetForm)
        return;
    m_targetForm = form;
    ApplySection(form, m_file.get());
}

void TLanguageFile::ApplySection(QWidget* form, const ProfileFile* file) {
    if (!form || !file)
        return;
    m_sectionLines = readLines(*file, sectionName(form));
    // A copy: an information box runs a nested event loop while the loop is underway.
    const Lines lines = m_sectionLines;
    for (const auto& [key, value] : lines) {
        const qsizetype dot = key.indexOf(u'.');
        const QString componentName = dot < 0 ? QString() : trimBlanksAndControls(key.left(dot));
        const QString propertyName = trimBlanksAndControls(dot < 0 ? key : key.mid(dot + 1));
        QObject* component = componentName.isEmpty() ? form : findComponent(form, componentName);
        if (!component)
            return;
        if (value.isEmpty())
            continue;
        SetNamedProperty(component, propertyName, value);
    }
}

void TLanguageFile::SetNamedProperty(QObject* component, const QString& name,
                                     const QString& value) {
    if (!component)
        return;
    const int index = resolveProperty(component, name);
    if (index < 0)
        return;
    setFromText(component, component->metaObject()->property(index), value);
}

void TLanguageFile::setFromText(QObject* component, const QMetaProperty& property,
                                const QString& value) {
    const QMetaType type = property.metaType();
    const int typeId = type.id();
    const QString notImplemented =
        QStringLiteral("property kind=tkClass;Name=[%1] Not implement").arg(typeNameOf(property));

    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        m_info(notImplemented);
        return;
    }
    if (!property.isWritable())
        return;

    QVariant converted;
    bool ok = true;
    if (typeId == QMetaType::QStringList) {
        m_itemSplitter = splitDelimited(value);
        converted = m_itemSplitter;
    } else if (property.isFlagType()) {
        converted = flagValue(property.enumerator(), value, &ok);
    } else if (property.isEnumType()) {
        converted = enumValue(property.enumerator(), trimBlanksAndControls(value), &ok);
    } else if (typeId == QMetaType::QString) {
        converted = value;
    } else if (typeId == QMetaType::Bool) {
        const QString word = trimBlanksAndControls(value);
        ok = asciiEqualNoCase(word, u"true") || asciiEqualNoCase(word, u"false");
        converted = asciiEqualNoCase(word, u"true");
    } else if (isIntegerType(typeId)) {
        const qlonglong number = trimBlanksAndControls(value).toLongLong(&ok, 10);
        ok = ok && inRange(number, typeId);
        converted = number;
        ok = ok && converted.convert(type);
    } else if (typeId == QMetaType::Double || typeId == QMetaType::Float) {
        const double number = QLocale::c().toDouble(trimBlanksAndControls(value), &ok);
        converted = number;
        ok = ok && converted.convert(type);
    } else if (QMetaType::canConvert(QMetaType::fromType<QString>(), type)) {
        converted = value;
        ok = converted.convert(type);
    } else {
        m_info(notImplemented);
        return;
    }
    if (!ok)
        conversionError(property, value);
    property.write(component, converted);
}

QString TLanguageFile::CommonText(const QString& key) const {
    for (const auto& [name, text] : m_commonTexts) {
        if (asciiEqualNoCase(name, key))
            return text;
    }
    return {};
}

void TLanguageFile::showInformation(const QString& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("information"), text, QMessageBox::Ok);
    box.exec();
}

QStringList TLanguageFile::splitDelimited(const QString& value) {
    constexpr QChar delimiter = u'|';
    constexpr QChar quote = u'"';
    // A NUL ends the text, as it would in a C string.
    const QString text = value.left(value.indexOf(QChar(u'\0')));
    const qsizetype n = text.size();
    QStringList items;
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlank(text.at(i)))
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString item;
        if (text.at(i) == quote) {
            ++i;
            while (i < n) {
                if (text.at(i) == quote) {
                    if (i + 1 < n && text.at(i + 1) == quote) {
                        item += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text.at(i++);
            }
        } else {
            const qsizetype start = i;
            while (i < n && !isBlank(text.at(i)) && text.at(i) != delimiter)
                ++i;
            item = text.mid(start, i - start);
        }
        items.append(item);
        skipBlanks();
        if (i < n && text.at(i) == delimiter) {
            if (i + 1 == n)
                items.append(QString());
            ++i;
            skipBlanks();
        }
    }
    return items;
}

QString TLanguageFile::sectionName(const QObject* form) {
    const QString name = QString::fromLatin1(form->metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

TLanguageFile::Lines TLanguageFile::readLines(const ProfileFile& file, const QString& section) {
    Lines lines;
    const auto raw = file.readSection(codepage::fromUnicode(section));
    lines.reserve(raw.size());
    for (const auto& [key, value] : raw)
        lines.append({codepage::toUnicode(key), codepage::toUnicode(value)});
    return lines;
}

QObject* TLanguageFile::findComponent(QWidget* form, const QString& name) {
    const auto children = form->findChildren<QObject*>();
    for (QObject* child : children) {
        if (asciiEqualNoCase(child->objectName(), name))
            return child;
    }
    return nullptr;
}

} // namespace koro
