// NanoVG's OpenGL 3 renderer and its framebuffer helpers, compiled once.
#include <GL/gl.h>
#include <GL/glext.h>

// The GL3 renderer, with each draw's paint as plain uniforms instead of a slice of one uniform buffer.
// A software rasteriser re-copies its whole fragment state whenever the constants move, which a new
// buffer offset at every draw does; plain uniforms only change when the paint does.
#define NANOVG_GL3 1
#define NANOVG_GL_IMPLEMENTATION 1
#include "nanovg.h"
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
