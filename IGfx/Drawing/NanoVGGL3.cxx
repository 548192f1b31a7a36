// NanoVG's OpenGL 3 renderer and its framebuffer helpers, compiled once.
#include <GL/gl.h>
#include <GL/glext.h>

#define NANOVG_GL3_IMPLEMENTATION
#include "nanovg.h"
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
