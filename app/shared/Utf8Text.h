#ifndef TARNEL_APP_UTF8_TEXT_H
#define TARNEL_APP_UTF8_TEXT_H

#include <string>

/** The text with each byte that does not belong to a valid UTF-8 sequence read as the
    Latin-1 character of that number (older exporters write names in 8-bit encodings),
    so that JSON and the overlays, which take only UTF-8, can show it; valid text stays as
    it is. */
std::string AsValidUtf8(const std::string& text);

#endif
