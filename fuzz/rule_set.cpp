// The rule-set lines of "UserSet.usd": comma text split into fields, the fields read as a set,
// and a read set written back must read as itself.
#include "FuzzSupport.h"
#include "betting/UserRuleSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> fields = vornal::SplitCommaText(vornal::fuzz::Input(data, size));
    const std::optional<vornal::UserRuleSet> set = vornal::UserRuleSetFromFields(fields);
    if (set) {
        (void)vornal::AsShownInWindow(*set);
        (void)vornal::UserRuleSetLine(*set);
    }
    return 0;
}
