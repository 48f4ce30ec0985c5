// libFuzzer target for the matcher: the first byte chooses the options
// (bit 0 ignore case, bit 1 multiline, bit 2 global), the pattern runs up
// to the first byte 1 and the subject follows. Bytes from 0x80 stand for
// units from outside ASCII that the case folding and the line rules treat
// specially. Whatever the pattern, compiling and running it within a step
// budget ends, and every span it reports lies inside the subject.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "regex/regex.h"

namespace {

constexpr char16_t kWideUnits[16] = {0x4E2D, 0x3000, 0x2028, 0x2029, 0xFF21, 0xFF41, 0x0391, 0x03B1,
                                     0x03C2, 0x0416, 0x0436, 0x00E9, 0x00C9, 0x01CE, 0x00A0, 0xFFFF};

std::u16string Units(const uint8_t* data, size_t size) {
    std::u16string units;
    for (size_t i = 0; i < size; ++i) units.push_back(data[i] < 0x80 ? data[i] : kWideUnits[data[i] & 15]);
    return units;
}

void CheckSpan(const lyra::regex::Span& span, size_t size) {
    if (span.matched() && (span.start > size || span.length > size - span.start)) std::abort();
    if (!span.matched() && span.length != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lyra::regex;
    if (size == 0) return 0;
    Options options;
    options.ignoreCase = (data[0] & 1) != 0;
    options.multiline = (data[0] & 2) != 0;
    bool global = (data[0] & 4) != 0;
    size_t split = 1;
    while (split < size && data[split] != 1) ++split;
    std::u16string source = Units(data + 1, split - 1);
    std::u16string subject = split < size ? Units(data + split + 1, size - split - 1) : std::u16string();

    std::string error;
    auto pattern = Pattern::Compile(source, options, &error);
    if (!pattern) {
        if (error.empty()) std::abort();
        return 0;
    }
    Limits limits;
    limits.stepBudget = 200000;
    std::vector<Match> matches;
    FindAll(*pattern, subject, global, limits, &matches);
    size_t previousEnd = 0;
    for (const Match& match : matches) {
        if (!match.whole.matched() || match.groups.size() != pattern->GroupCount()) std::abort();
        CheckSpan(match.whole, subject.size());
        if (match.whole.start < previousEnd) std::abort();
        previousEnd = match.whole.start + match.whole.length;
        for (const Span& group : match.groups) CheckSpan(group, subject.size());
    }
    std::u16string replaced;
    Replace(*pattern, subject, u"<$1$&$`$'$$$99>", global, limits, &replaced);
    return 0;
}
