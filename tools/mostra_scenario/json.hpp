#pragma once
// The content of a compiled scenario as one JSON document; texts in UTF-8.
#include <nlohmann/json.hpp>

#include "tools/mostra_scenario/contenuto.hpp"

namespace scenario {

nlohmann::ordered_json in_json(const contenuto_scenario& c);

}  // namespace scenario
