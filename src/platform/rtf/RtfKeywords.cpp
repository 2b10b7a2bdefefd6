#include "platform/rtf/RtfKeywords.h"

#include <unordered_map>

namespace rtf {

Keyword keywordOf(std::string_view name)
{
    static const std::unordered_map<std::string_view, Keyword> keywords = {
#define RTF_KEYWORD_ENTRY(name) {#name, Keyword::name},
        RTF_KEYWORDS(RTF_KEYWORD_ENTRY)
#undef RTF_KEYWORD_ENTRY
    };
    const auto it = keywords.find(name);
    return it == keywords.end() ? Keyword::Unknown : it->second;
}

} // namespace rtf
