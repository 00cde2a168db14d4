#include "sheetjob/frame/FrameDriver.h"

namespace sheetjob::frame {

// Placeholder until the frame layers land: draws nothing.
int CREATERAMK(const FrameJob&, std::string&) { return 0; }

} // namespace sheetjob::frame
