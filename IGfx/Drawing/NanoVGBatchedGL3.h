// NanoVG's GL3 renderer with a flush that merges consecutive draws of one paint (see NanoVGGL3.cxx).
#pragma once

struct NVGcontext;

// Made and deleted like nvgCreateGL3's context (nvgDeleteGL3); the same pictures, fewer draws.
NVGcontext* nvgCreateBatchedGL3(int flags);
