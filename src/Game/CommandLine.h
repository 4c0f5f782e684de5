#pragma once

#include "Game/Opts.h"

namespace Opts {

// Reads the command line into the settings record. A bad command line does not stop the
// program: the parser's usage text goes to standard error and whatever was recognised
// still takes effect.
void ParseCommandLine(int argc, char** argv, Data& data);

} // namespace Opts
