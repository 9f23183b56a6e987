#pragma once

#include <QWidget>
#include <memory>

class QLabel;

namespace Ui {
class TForm2;
}

namespace koro {

class BrowserControl;
struct Endpoints;

// The about window: names the product, shows the version of the running program and offers
// two links that open the maker's pages in the main window. Modeless; every close destroys it.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    // The version label shows the version stamped into the file at executablePath. The links
    // open in page, the owner's page area.
    TForm2(QWidget& owner, BrowserControl& page, const Endpoints& endpoints,
           const QString& executablePath);
    ~TForm2() override;

    static constexpr QSize OuterSize{315, 230};

    Ui::TForm2& ui() { return *m_ui; }

    void FormCreate(const QString& executablePath);
    void Label4Click();
    void Label8Click();
    void Button1Click();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFonts();
    void setLink(QLabel* label, const QString& url);
    void followLink(const QLabel* label);
    void placeOverOwner();
    void fitOuterSize();

    std::unique_ptr<Ui::TForm2> m_ui;
    QWidget& m_owner;
    BrowserControl& m_page;
};

} // namespace koro
