// Internal: which vector instructions this processor runs, for the run-time
// choice between scalar and vector code. Decided once; false off x86.
#pragma once

namespace vantrel {

bool cpuHasSse2();
bool cpuHasAvx2();

}  // namespace vantrel
