#pragma once
// Data files: Windows-1252 text with CR LF line ends (LF-only lines read too),
// read whole, saved atomically, kept as backup copies; the one include for
// the modules that read and write them.

#include "common/atomicsave.h"
#include "common/backupcopy.h"
#include "common/cp1252.h"
#include "common/fileops.h"
#include "common/readfile.h"
#include "common/temporaries.h"
