#include "reference/urfmergereference.h"

#include "urf/zukenurffile.h"

namespace {

void mergeGroup(ZukenUrfGroup &fresh, const ZukenUrfGroup &read)
{
    if (!fresh.subgroups.isEmpty() && !read.subgroups.isEmpty()) {
        for (ZukenUrfGroup &n : fresh.subgroups) {
            for (const ZukenUrfGroup &o : read.subgroups) {
                if (n.name == o.name)
                    mergeGroup(n, o);
            }
        }
    } else if (!fresh.cases.isEmpty() && !read.cases.isEmpty()) {
        for (ZukenUrfCase &cn : fresh.cases) {
            for (const ZukenUrfCase &co : read.cases) {
                for (ZukenUrfResult &rn : cn.results) {
                    for (const ZukenUrfResult &ro : co.results) {
                        if (ro.params == rn.params && ro.type != ResultType::E) {
                            rn.type = ro.type;
                            rn.resultText = ro.resultText;
                            rn.resultDate = ro.resultDate;
                        }
                    }
                }
            }
        }
    }
}

} // namespace

void mergeFromNestedLoops(ZukenUrfFile &fresh, const ZukenUrfFile &existing)
{
    for (ZukenUrfGroup &n : fresh.groups) {
        for (const ZukenUrfGroup &o : existing.groups)
            mergeGroup(n, o);
    }
}
