#include "store/locale_dates.h"

#include "store/shared_routines.h"

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace qp::store {

std::string patternFromStrftime(const std::string& format) {
    std::string pattern;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            pattern += format[i];
            continue;
        }
        switch (format[++i]) {
        case 'd':
            pattern += "dd";
            break;
        case 'e':
            pattern += "d";
            break;
        case 'm':
            pattern += "mm";
            break;
        case 'y':
            pattern += "yy";
            break;
        case 'Y':
            pattern += "yyyy";
            break;
        case 'b':
        case 'h':
            pattern += "mmm";
            break;
        case 'B':
            pattern += "mmmm";
            break;
        case 'F':
            pattern += "yyyy-mm-dd";
            break;
        case 'D':
            pattern += "mm/dd/yy";
            break;
        case '%':
            pattern += '%';
            break;
        default:
            return std::string(kDefaultShortDatePattern);
        }
    }
    return pattern;
}

namespace {
std::string readPattern() {
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) {
            name = value;
            break;
        }
    }
    std::string locale = name ? name : "";
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0)
        return std::string(kDefaultShortDatePattern);
    locale_t handle = ::newlocale(LC_TIME_MASK, locale.c_str(), static_cast<locale_t>(0));
    if (handle == static_cast<locale_t>(0))
        return std::string(kDefaultShortDatePattern);
    std::string format = ::nl_langinfo_l(D_FMT, handle);
    ::freelocale(handle);
    if (format.empty())
        return std::string(kDefaultShortDatePattern);
    return patternFromStrftime(format);
}
} // namespace

const std::string& UserShortDatePattern() {
    static const std::string pattern = readPattern();
    return pattern;
}

} // namespace qp::store
