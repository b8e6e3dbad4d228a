// Resolves a media name to the path to open, through the runtime's media file table.
#pragma once

#include "runtime/core/kstring.h"

// True and the real (case-corrected) path when the name was found, else false.
bool FindMediaPath(const KString& name, KString& path);
