#pragma once

// The XML archive of save games: named value pairs (nvp, map_nvp), the writer (OArchive),
// the reader (IArchive) and the reader's error (exception).
#include "Include/common/Exception.h"
#include "Include/common/IArchive.h"
#include "Include/common/Nvp.h"
#include "Include/common/OArchive.h"
