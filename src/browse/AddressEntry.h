#pragma once

#include <QString>

namespace koro {

struct Endpoints;

// What the user types into the address box: an address for the page area or a keyword for the
// chosen search engine.

// True when somewhere in the text an ASCII letter, digit, underscore or hyphen is followed by a
// full stop and another such character.
bool IsUrl(const QString& text);

// The result page of the engine ("Baidu" or "TaoBao") for the keyword, which is percent-encoded
// as UTF-8; empty for any other engine.
QString searchAddress(const Endpoints& endpoints, const QString& engine, const QString& keyword);

} // namespace koro
