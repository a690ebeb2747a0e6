#include "settings/Retranslatable.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<Retranslatable*>& registry()
{
    static std::vector<Retranslatable*> list;
    return list;
}

}  // namespace

Retranslatable::Retranslatable()
{
    registry().push_back(this);
}

Retranslatable::Retranslatable(const Retranslatable&)
{
    registry().push_back(this);
}

Retranslatable::~Retranslatable()
{
    auto& list = registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Retranslatable::retranslateAll()
{
    // A retranslate() may create or destroy windows: walk a copy, and skip
    // any instance that is gone by the time its turn comes.
    const std::vector<Retranslatable*> snapshot = registry();
    for (Retranslatable* r : snapshot) {
        const auto& live = registry();
        if (std::find(live.begin(), live.end(), r) != live.end())
            r->retranslate();
    }
}
