#pragma once

#include <QObject>

namespace koro {

class TForm1;

// The menu "线路选择": the user's network line decides the home page.
class LineSelection : public QObject {
    Q_OBJECT
public:
    explicit LineSelection(TForm1& form);

    void telcomClick();
    void cncClick();

private:
    // Choosing the line already checked does it all again, which reloads the home page.
    void choose(bool telecom);

    TForm1& m_form;
};

} // namespace koro
