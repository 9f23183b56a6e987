#pragma once

#include "config/ProfileFile.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QMetaProperty;

namespace koro {

// Reads a language file and applies the section named after a form's class to that form:
// each key "component.property" names a child object and one of its properties, the value is
// the new property value as text (code-page bytes in the file).
class TLanguageFile {
public:
    // Receives the notice about a property kind that cannot be set from text.
    using InfoCallback = std::function<void(const QString& text)>;

    // Opens the file at secondaryPath when it exists; no form is translated yet.
    explicit TLanguageFile(const QString& secondaryPath, InfoCallback info = {});
    ~TLanguageFile();

    TLanguageFile(const TLanguageFile&) = delete;
    TLanguageFile& operator=(const TLanguageFile&) = delete;

    // Opens path unless it is the open file or does not exist, then applies it to the target.
    void OpenLanguageFile(const QString& path);
    void SetTargetForm(QWidget* form);
    void ApplySection(QWidget* form, const ProfileFile* file);
    // Throws koro::Error when the value cannot be converted to the property's type.
    void SetNamedProperty(QObject* component, const QString& name, const QString& value);
    QString CommonText(const QString& key) const;

    const QString& filePath() const { return m_filePath; }
    const ProfileFile* file() const { return m_file.get(); }

    // The default info callback: an information box with an OK button.
    static void showInformation(const QString& text);

    // Items of a "|"-delimited value; blanks also separate items outside double quotes.
    static QStringList splitDelimited(const QString& value);

    // The name of a form's section: its class name without namespace qualifiers.
    static QString sectionName(const QObject* form);

private:
    using Lines = QList<QPair<QString, QString>>;

    static Lines readLines(const ProfileFile& file, const QString& section);
    static QObject* findComponent(QWidget* form, const QString& name);
    void setFromText(QObject* component, const QMetaProperty& property, const QString& value);

    QPointer<QWidget> m_targetForm;
    QString m_filePath;
    std::unique_ptr<ProfileFile> m_file;
    Lines m_sectionLines;
    QStringList m_itemSplitter;
    Lines m_commonTexts;
    InfoCallback m_info;
};

} // namespace koro
