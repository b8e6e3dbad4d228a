// Everything game code may call in the runtime, in one include.
#pragma once

#include "runtime/core/data_list.h"
#include "runtime/core/device_services.h"
#include "runtime/core/entry.h"
#include "runtime/core/error_state.h"
#include "runtime/core/files.h"
#include "runtime/core/karray.h"
#include "runtime/core/kstring.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/number_text.h"
#include "runtime/core/numeric.h"
#include "runtime/core/platform_info.h"

#include "runtime/graphics/font.h"
#include "runtime/graphics/graphics_device.h"
#include "runtime/graphics/offscreen.h"
#include "runtime/graphics/polygon_batch.h"
#include "runtime/graphics/sprites.h"

#include "runtime/input/input_state.h"

#include "runtime/audio/music.h"
#include "runtime/audio/sound.h"
