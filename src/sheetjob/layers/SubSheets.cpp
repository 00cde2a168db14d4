#include "sheetjob/layers/SubSheets.h"

namespace sheetjob::layers {

// Placeholder until the sub-sheet frames land: writes nothing.
int CREATEMAPS5025(const SubSheetJob&, std::string&) { return 0; }

} // namespace sheetjob::layers
