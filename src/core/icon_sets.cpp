#include "core/icon_sets.h"

namespace quaff {

const std::string& IconSetItems() {
    static const std::string items = [] {
        std::string joined;
        for (const IconSet& set : kIconSets) {
            if (!joined.empty()) joined += '\n';
            joined += set.itemText;
        }
        return joined;
    }();
    return items;
}

}  // namespace quaff
