#pragma once
// The content of a compiled scenario as one JSON document; texts in UTF-8.
#include <nlohmann/json.hpp>

#include "contenuto/contenuto.hpp"
#include "contenuto/descrizione.hpp"

namespace scenario {

nlohmann::ordered_json in_json(const contenuto_scenario& c);

// A comparison: {"equal", "differences": [{"file", "record", "field", "old",
// "new", "meaning"}]}; meaning null where no sentence tells the field, the
// five others null for a sentence no field carries.
nlohmann::ordered_json in_json(const confronto& c);

}  // namespace scenario
