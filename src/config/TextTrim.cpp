#include "config/TextTrim.h"

namespace koro {

namespace {

bool isBlankOrControl(QChar c) {
    return c.unicode() <= u' ' || c.category() == QChar::Other_Control;
}

} // namespace

QString trimBlanksAndControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace koro
