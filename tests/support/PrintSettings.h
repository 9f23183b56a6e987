#pragma once

#include "config/AppSettings.h"

#include <ostream>

namespace koro {

// How a failed comparison of settings shows them.
inline void PrintTo(const AppSettings& s, std::ostream* os) {
    *os << "{UseHotKey=" << s.UseHotKey.toStdString() << " pifu=" << s.pifu.toStdString()
        << " opennewfrm=" << s.opennewfrm.toStdString()
        << " FrontShow=" << s.FrontShow.toStdString() << " CloseTips=" << s.CloseTips.toStdString()
        << " MinTask=" << s.MinTask.toStdString() << " Minstart=" << s.Minstart.toStdString()
        << " SP=" << s.SP.toStdString() << " SeeTime=" << s.SeeTime.toStdString()
        << " LanguageId=" << s.LanguageId << "}";
}

} // namespace koro
