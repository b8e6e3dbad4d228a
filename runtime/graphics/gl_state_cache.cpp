// The GL capability cache: switches reach the driver only when they change something.
#include "runtime/graphics/graphics_device.h"

#include <GLES/gl.h>

#include "runtime/platform/platform.h"

namespace {
const unsigned CACHED[GL_CACHED_CAPABILITIES] = {
    GL_BLEND, GL_ALPHA_TEST, GL_COLOR_MATERIAL, GL_CULL_FACE, GL_LIGHTING, GL_STENCIL_TEST,
    GL_DEPTH_TEST, GL_FOG, GL_DITHER, GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_NORMALIZE,
};
}  // namespace

GlCapabilityCache::GlCapabilityCache() { Invalidate(); }

void GlCapabilityCache::Invalidate() {
    for (uint32_t& w : words) w = GL_STATE_UNKNOWN;
}

int GlCapabilityCache::Slot(unsigned capability) const {
    for (int i = 0; i < GL_CACHED_CAPABILITIES; ++i) {
        if (CACHED[i] == capability) return i;
    }
    return -1;
}

void GlCapabilityCache::Send(unsigned capability, bool on) {
    ++sentSwitches;
    if (!Platform::HasGL()) return;
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

void GlCapabilityCache::Enable(unsigned capability) {
    const int slot = Slot(capability);
    if (slot < 0) {
        Send(capability, true);
        return;
    }
    if (words[slot] == 1) return;
    words[slot] = 1;
    Send(capability, true);
}

void GlCapabilityCache::Disable(unsigned capability) {
    const int slot = Slot(capability);
    if (slot < 0) {
        Send(capability, false);
        return;
    }
    if (words[slot] == 0) return;
    words[slot] = 0;
    Send(capability, false);
}

uint32_t GlCapabilityCache::Word(unsigned capability) const {
    const int slot = Slot(capability);
    return slot < 0 ? GL_STATE_UNKNOWN : words[slot];
}
