#include "platform/natural_order.h"

#include "platform/case_map.h"

namespace nw {
namespace {
// ASCII and full-width digits alike: 第３集 sorts before 第１２集.
bool isDigit(char32_t c) { return (c >= U'0' && c <= U'9') || (c >= U'０' && c <= U'９'); }
int digitValue(char32_t c) {
    return c >= U'０' ? static_cast<int>(c - U'０') : static_cast<int>(c - U'0');
}
} // namespace

int naturalCompareFolded(std::u32string_view a, std::u32string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t si = i, sj = j;
            while (si < a.size() && isDigit(a[si]) && digitValue(a[si]) == 0)
                ++si;
            while (sj < b.size() && isDigit(b[sj]) && digitValue(b[sj]) == 0)
                ++sj;
            std::size_t ei = si, ej = sj;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            if (ei - si != ej - sj)
                return ei - si < ej - sj ? -1 : 1;
            for (std::size_t k = 0; k < ei - si; ++k)
                if (digitValue(a[si + k]) != digitValue(b[sj + k]))
                    return digitValue(a[si + k]) < digitValue(b[sj + k]) ? -1 : 1;
            i = ei, j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i, ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

int naturalCompare(std::u32string_view a, std::u32string_view b) {
    if (int r = naturalCompareFolded(folded(a), folded(b)))
        return r;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

} // namespace nw
