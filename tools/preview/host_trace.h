// The trace (--trace): each host call of a step, with what it was given and what it answered, and
// the colours the plug-in read and applied, from the record of the step's calls.
#pragma once

#include "standin/call_record.h"
#include "tools/preview/preview_run.h"

#include <vector>

namespace preview {

void printTrace(const Output& output, const std::vector<standin::Call>& pass);

} // namespace preview
