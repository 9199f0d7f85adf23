// Text from levels, made fit for what takes only UTF-8.
#include "Utf8Text.h"

std::string AsValidUtf8(const std::string& text)
{
    std::string valid;
    valid.reserve(text.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();)
    {
        unsigned char lead = bytes[i];
        size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                      : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        bool whole = length != 0 && i + length <= text.size();
        for (size_t k = 1; whole && k < length; ++k)
            whole = (bytes[i + k] & 0xC0) == 0x80;
        // No overlong three- and four-byte forms, no surrogates, nothing past U+10FFFF.
        if (whole && length >= 3)
        {
            unsigned char second = bytes[i + 1];
            whole = !(lead == 0xE0 && second < 0xA0) && !(lead == 0xED && second > 0x9F) &&
                    !(lead == 0xF0 && second < 0x90) && !(lead == 0xF4 && second > 0x8F);
        }
        if (whole)
        {
            valid.append(text, i, length);
            i += length;
            continue;
        }
        valid += char(0xC0 | (lead >> 6));
        valid += char(0x80 | (lead & 0x3F));
        ++i;
    }
    return valid;
}
