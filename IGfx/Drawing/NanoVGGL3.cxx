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

#include "NanoVGBatchedGL3.h"

// A flush that submits fewer draws, for a software rasteriser whose cost on the calling thread is per
// draw and per change of fragment state rather than per pixel. A plain colour (a solid fill or stroke,
// or text in one colour) travels with its vertices instead of in the uniforms, so shapes and texts of
// any colour under one clip share one set of uniforms; consecutive calls that share their uniforms,
// blend and texture become one indexed triangle list, listing the triangles the separate fans and
// strips would have made, in the same order and with the same vertex order, so the pixels are the same.
// Paints that sample no texture leave the bound one in place, and unchanged uniforms are not uploaded.
namespace {

// NanoVG's fill shader with the colour, stroke width factor, paint type and texture type of plain
// paints taken from the vertices (paintParams.y < 0: the paint is in the uniforms, as NanoVG has it).
// A software rasteriser runs every branch of it for every fragment, both texture reads included,
// since the paint type varies per vertex; PLAIN_ONLY makes the program for runs of plain colours
// that read no texture: their colour "gradient" is the colour itself (see plainUniforms), so the
// fragments come out as the full shader's type 0 gives them, for a fraction of the work.
const char* const kVertexShader = R"(
uniform vec2 viewSize;
in vec2 vertex;
in vec2 tcoord;
in vec4 paintColor;
in vec4 paintParams;
out vec2 ftcoord;
out vec2 fpos;
flat out vec4 fcolor;
flat out vec4 fparams;
void main(void) {
  ftcoord = tcoord;
  fpos = vertex;
  fcolor = paintColor;
  fparams = paintParams;
  gl_Position = vec4(2.0*vertex.x/viewSize.x - 1.0, 1.0 - 2.0*vertex.y/viewSize.y, 0, 1);
}
)";

const char* const kFragmentShader = R"(
uniform vec4 frag[UNIFORMARRAY_SIZE];
uniform sampler2D tex;
in vec2 ftcoord;
in vec2 fpos;
flat in vec4 fcolor;
flat in vec4 fparams;
out vec4 outColor;
#define scissorMat mat3(frag[0].xyz, frag[1].xyz, frag[2].xyz)
#define paintMat mat3(frag[3].xyz, frag[4].xyz, frag[5].xyz)
#define scissorExt frag[8].xy
#define scissorScale frag[8].zw
#define extent frag[9].xy
#define radius frag[9].z
#define feather frag[9].w
#define strokeThr frag[10].y

float sdroundrect(vec2 pt, vec2 ext, float rad) {
  vec2 ext2 = ext - vec2(rad,rad);
  vec2 d = abs(pt) - ext2;
  return min(max(d.x,d.y),0.0) + length(max(d,0.0)) - rad;
}
float scissorMask(vec2 p) {
  vec2 sc = (abs((scissorMat * vec3(p,1.0)).xy) - scissorExt);
  sc = vec2(0.5,0.5) - sc * scissorScale;
  return clamp(sc.x,0.0,1.0) * clamp(sc.y,0.0,1.0);
}
void main(void) {
  bool own = fparams.y < 0.0;
  vec4 innerCol = own ? frag[6] : fcolor;
  vec4 outerCol = own ? frag[7] : fcolor;
  float strokeMult = own ? frag[10].x : fparams.x;
  int texType = own ? int(frag[10].z) : int(fparams.z);
  int type = own ? int(frag[10].w) : int(fparams.y);
  vec4 result;
  float scissor = scissorMask(fpos);
#ifdef EDGE_AA
  float strokeAlpha = min(1.0, (1.0-abs(ftcoord.x*2.0-1.0))*strokeMult) * min(1.0, ftcoord.y);
  if (strokeAlpha < strokeThr) discard;
#else
  float strokeAlpha = 1.0;
#endif
#ifdef PLAIN_ONLY
  outColor = innerCol * (strokeAlpha * scissor);
  return;
#endif
  if (type == 0) {
    vec2 pt = (paintMat * vec3(fpos,1.0)).xy;
    float d = clamp((sdroundrect(pt, extent, radius) + feather*0.5) / feather, 0.0, 1.0);
    vec4 color = mix(innerCol,outerCol,d);
    color *= strokeAlpha * scissor;
    result = color;
  } else if (type == 1) {
    vec2 pt = (paintMat * vec3(fpos,1.0)).xy / extent;
    vec4 color = texture(tex, pt);
    if (texType == 1) color = vec4(color.xyz*color.w,color.w);
    if (texType == 2) color = vec4(color.x);
    color *= innerCol;
    color *= strokeAlpha * scissor;
    result = color;
  } else if (type == 2) {
    result = vec4(1,1,1,1);
  } else if (type == 3) {
    vec4 color = texture(tex, ftcoord);
    if (texType == 1) color = vec4(color.xyz*color.w,color.w);
    if (texType == 2) color = vec4(color.x);
    color *= scissor;
    result = color * innerCol;
  }
  outColor = result;
}
)";

// Per vertex: the paint's colour, then its stroke width factor, type and texture type.
struct VertexPaint
{
  float color[4];
  float params[4];
};

// A run of calls drawn together: [first, end), its slice of the index list (or -1 where its calls are
// drawn as NanoVG draws them), whether its paint travels with the vertices, and the texture it reads.
struct BatchRun
{
  int first, end, index, count;
  int vertexPaint;
  int image;
  int large; // a call that reads no texture and covers many pixels
};

// The boxes a call is drawn through when a later opaque rectangle covers the middle of its pixels.
struct CallStrips
{
  int active; // 0: drawn through its clip's box; else through the boxes below (none: not at all)
  int count;
  GLint box[4][4];
  int clear; // an opaque rectangle whose inside is cleared to its colour instead of shaded
  GLint clearBox[4];
  float color[4];
};

// Plain C memory only: the plug-in module may be unloaded before the thread ends, so nothing here may
// leave a destructor behind.
struct BatchedGL
{
  GLNVGcontext gl;  // first: NanoVG's own functions receive and free this pointer
  int vertexPaints; // the shader above replaced NanoVG's
  GLuint indexBuffer;
  GLuint paintBuffer;
  GLuint* indices;
  int nindices;
  int cindices;
  VertexPaint* paints;
  int cpaints;
  BatchRun* runs;
  int nruns;
  int cruns;
  GLNVGshader plainShader; // the program for plain colours without texture; prog 0 if none
  int program;             // the program in use in this flush: 0 NanoVG's slot (gl.shader), 1 the plain one
  float uploaded[2][NANOVG_GL_UNIFORMARRAY_SIZE][4];
  int haveUploaded[2];
  float pixelRatio;   // device pixels per unit, as the frame was begun with
  GLint viewport[4];  // the target's pixels, read at the start of each flush
  GLint scissor[4];   // the GL scissor box set last in this flush
  CallStrips* strips; // per call, for this flush
  int cstrips;
  int haveStrips;         // strips were set for this flush's calls
  const GLint* forcedBox; // while set, the scissor box of every draw
};

template <typename T>
bool batchGrow(T*& items, int& capacity, int needed, int minimum)
{
  if (needed <= capacity)
    return true;
  const int grown = glnvg__maxi(needed, minimum) + capacity / 2;
  auto* p = static_cast<T*>(realloc(items, sizeof(T) * static_cast<size_t>(grown)));
  if (p == NULL)
    return false;
  items = p;
  capacity = grown;
  return true;
}

// The triangles of a fan and of a strip in the vertex order the rasteriser's set-up gives them (the
// last vertex of each triangle last; a strip's odd triangles with their first two vertices swapped).
void batchFan(BatchedGL* b, int first, int count)
{
  for (int i = 2; i < count; ++i)
  {
    GLuint* t = b->indices + b->nindices;
    t[0] = static_cast<GLuint>(first);
    t[1] = static_cast<GLuint>(first + i - 1);
    t[2] = static_cast<GLuint>(first + i);
    b->nindices += 3;
  }
}

void batchStrip(BatchedGL* b, int first, int count)
{
  for (int i = 2; i < count; ++i)
  {
    GLuint* t = b->indices + b->nindices;
    t[0] = static_cast<GLuint>(first + i + (i & 1) - 2);
    t[1] = static_cast<GLuint>(first + i - (i & 1) - 1);
    t[2] = static_cast<GLuint>(first + i);
    b->nindices += 3;
  }
}

bool batchable(const GLNVGcall& c)
{
  return c.type == GLNVG_CONVEXFILL || c.type == GLNVG_STROKE || c.type == GLNVG_TRIANGLES;
}

bool samples(const GLNVGfragUniforms* f) { return f->type == NSVG_SHADER_FILLIMG || f->type == NSVG_SHADER_IMG; }

// A plain colour (a colour "gradient" without image) or a textured triangle set in one colour.
bool plainPaint(BatchedGL* b, const GLNVGcall& c)
{
  if (!b->vertexPaints || !batchable(c))
    return false;
  const GLNVGfragUniforms* f = nvg__fragUniformPtr(&b->gl, c.uniformOffset);
  if (f->type == NSVG_SHADER_IMG)
    return c.image != 0; // without an image NanoVG binds its blank texture, as the uniform path does
  return f->type == NSVG_SHADER_FILLGRAD && c.image == 0 &&
         memcmp(&f->innerCol, &f->outerCol, sizeof(f->innerCol)) == 0;
}

// The uniforms a plain paint leaves: the clip and the stroke threshold; the rest is set to values that
// keep the colour "gradient" finite (a mix of a colour with itself is that colour).
void plainUniforms(const GLNVGfragUniforms* f, float out[NANOVG_GL_UNIFORMARRAY_SIZE][4])
{
  memcpy(out, f->uniformArray, sizeof(f->uniformArray));
  for (int row = 3; row < 8; ++row)
    out[row][0] = out[row][1] = out[row][2] = out[row][3] = 0.f;
  out[9][0] = out[9][1] = out[9][2] = 0.f;
  out[9][3] = 1.f;
  out[10][0] = out[10][2] = out[10][3] = 0.f;
}

bool sameBlend(const GLNVGcall& a, const GLNVGcall& c)
{
  return a.blendFunc.srcRGB == c.blendFunc.srcRGB && a.blendFunc.dstRGB == c.blendFunc.dstRGB &&
         a.blendFunc.srcAlpha == c.blendFunc.srcAlpha && a.blendFunc.dstAlpha == c.blendFunc.dstAlpha;
}

// A plain fill that reads no texture and spans at least this many device pixels (its bounds) is not
// batched with texts, so that it can be drawn with the program that reads none.
constexpr float kLargeFillPixels = 4096.f;

bool largeFill(BatchedGL* b, const GLNVGcall& c)
{
  GLNVGcontext* gl = &b->gl;
  if (c.type != GLNVG_CONVEXFILL || !plainPaint(b, c) || samples(nvg__fragUniformPtr(gl, c.uniformOffset)))
    return false;
  float area = 0.f;
  for (int i = 0; i < c.pathCount; ++i)
  {
    const GLNVGpath& p = gl->paths[c.pathOffset + i];
    if (p.fillCount <= 0)
      continue;
    const NVGvertex* v = gl->verts + p.fillOffset;
    float x0 = v[0].x, x1 = v[0].x, y0 = v[0].y, y1 = v[0].y;
    for (int k = 1; k < p.fillCount; ++k)
    {
      x0 = fminf(x0, v[k].x);
      x1 = fmaxf(x1, v[k].x);
      y0 = fminf(y0, v[k].y);
      y1 = fmaxf(y1, v[k].y);
    }
    area += (x1 - x0) * (y1 - y0);
  }
  return area * b->pixelRatio * b->pixelRatio >= kLargeFillPixels;
}

// Whether call c joins the run that starts with call a (whose texture so far is *image, 0 for none;
// *large when it holds a large fill without texture).
bool joins(BatchedGL* b, const GLNVGcall& a, bool plain, int* image, int* large, const GLNVGcall& c)
{
  GLNVGcontext* gl = &b->gl;
  if (!batchable(c) || !sameBlend(a, c) || plainPaint(b, c) != plain)
    return false;
  const GLNVGfragUniforms* fa = nvg__fragUniformPtr(gl, a.uniformOffset);
  const GLNVGfragUniforms* fc = nvg__fragUniformPtr(gl, c.uniformOffset);
  if (!plain)
    return a.image == c.image && (a.uniformOffset == c.uniformOffset || memcmp(fa, fc, sizeof(*fa)) == 0);
  float ua[NANOVG_GL_UNIFORMARRAY_SIZE][4], uc[NANOVG_GL_UNIFORMARRAY_SIZE][4];
  plainUniforms(fa, ua);
  plainUniforms(fc, uc);
  if (memcmp(ua, uc, sizeof(ua)) != 0)
    return false;
  const bool big = largeFill(b, c);
  if (samples(fc))
  {
    if ((*image != 0 && *image != c.image) || *large)
      return false;
    *image = c.image;
  }
  else if (big && *image != 0)
    return false;
  if (big)
    *large = 1;
  return true;
}

int drawsOf(GLNVGcontext* gl, const GLNVGcall& c)
{
  if (c.type == GLNVG_TRIANGLES)
    return 1;
  int n = 0;
  for (int i = 0; i < c.pathCount; ++i)
    n += c.type == GLNVG_CONVEXFILL && gl->paths[c.pathOffset + i].strokeCount > 0 ? 2 : 1;
  return n;
}

bool stripped(const BatchedGL* b, int call) { return b->haveStrips && b->strips[call].active; }

bool batchAppend(BatchedGL* b, const GLNVGcall& c)
{
  GLNVGcontext* gl = &b->gl;
  if (c.type == GLNVG_TRIANGLES)
  {
    if (!batchGrow(b->indices, b->cindices, b->nindices + c.triangleCount, 4096))
      return false;
    for (int i = 0; i < c.triangleCount; ++i)
      b->indices[b->nindices++] = static_cast<GLuint>(c.triangleOffset + i);
    return true;
  }
  for (int i = 0; i < c.pathCount; ++i)
  {
    const GLNVGpath& p = gl->paths[c.pathOffset + i];
    if (!batchGrow(b->indices, b->cindices, b->nindices + 3 * (p.fillCount + p.strokeCount), 4096))
      return false;
    if (c.type == GLNVG_CONVEXFILL)
    {
      batchFan(b, p.fillOffset, p.fillCount);
      if (p.strokeCount > 0)
        batchStrip(b, p.strokeOffset, p.strokeCount);
    }
    else
      batchStrip(b, p.strokeOffset, p.strokeCount);
  }
  return true;
}

// The paint of every vertex a call draws: its own colour and parameters for a plain paint, a marker to
// read the uniforms otherwise.
void paintVertices(BatchedGL* b, const GLNVGcall& c, bool plain)
{
  GLNVGcontext* gl = &b->gl;
  VertexPaint v{};
  if (plain)
  {
    const GLNVGfragUniforms* f = nvg__fragUniformPtr(gl, c.uniformOffset);
    memcpy(v.color, &f->innerCol, sizeof(v.color));
    v.params[0] = f->strokeMult;
    v.params[1] = f->type;
    v.params[2] = f->texType;
  }
  else
    v.params[1] = -1.f;
  auto span = [&](int first, int count) {
    for (int i = 0; i < count; ++i)
      b->paints[first + i] = v;
  };
  if (c.type == GLNVG_TRIANGLES || c.type == GLNVG_FILL)
    span(c.triangleOffset, c.triangleCount);
  if (c.type == GLNVG_TRIANGLES)
    return;
  for (int i = 0; i < c.pathCount; ++i)
  {
    const GLNVGpath& p = gl->paths[c.pathOffset + i];
    span(p.fillOffset, p.fillCount);
    span(p.strokeOffset, p.strokeCount);
  }
}

void uploadUniforms(BatchedGL* b, const float u[NANOVG_GL_UNIFORMARRAY_SIZE][4])
{
  const int p = b->program;
  if (b->haveUploaded[p] && memcmp(b->uploaded[p], u, sizeof(b->uploaded[p])) == 0)
    return;
  const GLNVGshader& shader = p == 1 ? b->plainShader : b->gl.shader;
  glUniform4fv(shader.loc[GLNVG_LOC_FRAG], NANOVG_GL_UNIFORMARRAY_SIZE, &u[0][0]);
  memcpy(b->uploaded[p], u, sizeof(b->uploaded[p]));
  b->haveUploaded[p] = 1;
}

void useProgram(BatchedGL* b, int program)
{
  if (b->program == program)
    return;
  glUseProgram(program == 1 ? b->plainShader.prog : b->gl.shader.prog);
  b->program = program;
}

void bindImage(GLNVGcontext* gl, int image)
{
  GLNVGtexture* tex = image != 0 ? glnvg__findTexture(gl, image) : NULL;
  if (tex == NULL)
    tex = glnvg__findTexture(gl, gl->dummyTex);
  glnvg__bindTexture(gl, tex != NULL ? tex->tex : 0);
}

// The uniforms and texture for a run; paints that read no texture leave the bound one.
void setRunPaint(BatchedGL* b, const BatchRun& run)
{
  GLNVGcontext* gl = &b->gl;
  const GLNVGcall& c = gl->calls[run.first];
  const GLNVGfragUniforms* f = nvg__fragUniformPtr(gl, c.uniformOffset);
  if (run.vertexPaint)
  {
    float u[NANOVG_GL_UNIFORMARRAY_SIZE][4];
    plainUniforms(f, u);
    uploadUniforms(b, u);
    if (run.image != 0)
      bindImage(gl, run.image);
    return;
  }
  uploadUniforms(b, f->uniformArray);
  if (samples(f))
    bindImage(gl, c.image);
}

// The pixels a call's clip can reach, for the GL scissor test: the fragment shader fades the clip out
// over half a device pixel past its edges and gives nothing further out, so limiting the rasteriser
// to the clip's box (a pixel of margin for the rounding) keeps the pictures and spares it every pixel
// outside, which it would otherwise shade and blend with no effect. A call without a clip gets the
// whole target.
void clipBox(BatchedGL* b, const GLNVGcall& c, GLint box[4])
{
  GLNVGcontext* gl = &b->gl;
  const GLint* vp = b->viewport;
  box[0] = vp[0];
  box[1] = vp[1];
  box[2] = vp[2];
  box[3] = vp[3];
  const GLNVGfragUniforms* f = nvg__fragUniformPtr(gl, c.uniformOffset);
  const float* m = f->scissorMat;
  if (m[10] != 1.f || !(gl->view[0] > 0.f) || !(gl->view[1] > 0.f))
    return;
  // The shader holds the inverse of the clip's transform; the clip is [-ext, ext] around its origin.
  const float inverse[6] = {m[0], m[1], m[4], m[5], m[8], m[9]};
  float xf[6];
  if (nvgTransformInverse(xf, inverse) == 0)
    return;
  const float ex = f->scissorExt[0], ey = f->scissorExt[1];
  float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
  for (int corner = 0; corner < 4; ++corner)
  {
    const float lx = corner & 1 ? ex : -ex, ly = corner & 2 ? ey : -ey;
    const float x = xf[0] * lx + xf[2] * ly + xf[4], y = xf[1] * lx + xf[3] * ly + xf[5];
    x0 = fminf(x0, x);
    x1 = fmaxf(x1, x);
    y0 = fminf(y0, y);
    y1 = fmaxf(y1, y);
  }
  // Units to the target's pixels; GL counts rows from the bottom.
  const float sx = static_cast<float>(vp[2]) / gl->view[0], sy = static_cast<float>(vp[3]) / gl->view[1];
  const float left = floorf(x0 * sx) - 1.f, right = ceilf(x1 * sx) + 1.f;
  const float bottom = floorf(static_cast<float>(vp[3]) - y1 * sy) - 1.f;
  const float top = ceilf(static_cast<float>(vp[3]) - y0 * sy) + 1.f;
  const float l = fmaxf(left, 0.f), r = fminf(right, static_cast<float>(vp[2]));
  const float bt = fmaxf(bottom, 0.f), t = fminf(top, static_cast<float>(vp[3]));
  if (!(r > l) || !(t > bt))
  {
    box[2] = box[3] = 0;
    return;
  }
  box[0] = vp[0] + static_cast<GLint>(l);
  box[1] = vp[1] + static_cast<GLint>(bt);
  box[2] = static_cast<GLint>(r - l);
  box[3] = static_cast<GLint>(t - bt);
}

void setClipBox(BatchedGL* b, const GLNVGcall& c)
{
  GLint box[4];
  if (b->forcedBox != NULL)
    memcpy(box, b->forcedBox, sizeof(box));
  else
    clipBox(b, c, box);
  if (memcmp(box, b->scissor, sizeof(box)) == 0)
    return;
  glScissor(box[0], box[1], box[2], box[3]);
  memcpy(b->scissor, box, sizeof(box));
}

void drawAsNanoVG(BatchedGL* b, const BatchRun& run)
{
  GLNVGcontext* gl = &b->gl;
  for (int k = run.first; k < run.end; ++k)
  {
    GLNVGcall* c = &gl->calls[k];
    if (c->type == GLNVG_NONE)
      continue;
    setClipBox(b, *c);
    glnvg__blendFuncSeparate(gl, &c->blendFunc);
    if (c->type == GLNVG_FILL)
    {
      glnvg__fill(gl, c);
      b->haveUploaded[0] = 0;
      continue;
    }
    BatchRun one{k, k + 1, -1, 0, run.vertexPaint, run.image, run.large};
    setRunPaint(b, one);
    if (c->type == GLNVG_TRIANGLES)
    {
      glDrawArrays(GL_TRIANGLES, c->triangleOffset, c->triangleCount);
      continue;
    }
    for (int i = 0; i < c->pathCount; ++i)
    {
      const GLNVGpath& p = gl->paths[c->pathOffset + i];
      if (c->type == GLNVG_CONVEXFILL)
      {
        glDrawArrays(GL_TRIANGLE_FAN, p.fillOffset, p.fillCount);
        if (p.strokeCount > 0)
          glDrawArrays(GL_TRIANGLE_STRIP, p.strokeOffset, p.strokeCount);
      }
      else
        glDrawArrays(GL_TRIANGLE_STRIP, p.strokeOffset, p.strokeCount);
    }
  }
}

// Whether a and b are the same coordinate, up to the rounding of NanoVG's offsets.
bool near(float a, float b) { return fabsf(a - b) <= 1e-3f; }

bool onEither(float v, float lo, float hi) { return near(v, lo) || near(v, hi); }

// A convex fill's anti-aliased fringe is a strip one device pixel wide whose coverage runs from 1 at
// half a pixel inside the edge to 0 at half a pixel outside. When the shape is an axis-aligned
// rectangle whose edges lie on whole device pixels, those are the centres of the pixels just inside
// (fully covered) and just outside (untouched): the fringe adds nothing the rectangle itself doesn't
// cover. Such a path drops its strip and its fill grows back to the rectangle's own edges, two
// triangles instead of ten, the same pixels.
void dropInvisibleFringe(BatchedGL* b, GLNVGpath& p, float sx, float sy)
{
  GLNVGcontext* gl = &b->gl;
  if (p.fillCount != 4 || p.strokeCount != 10)
    return;
  NVGvertex* fill = gl->verts + p.fillOffset;
  float x0 = fill[0].x, x1 = fill[0].x, y0 = fill[0].y, y1 = fill[0].y;
  for (int i = 1; i < 4; ++i)
  {
    x0 = fminf(x0, fill[i].x);
    x1 = fmaxf(x1, fill[i].x);
    y0 = fminf(y0, fill[i].y);
    y1 = fmaxf(y1, fill[i].y);
  }
  if (!(x1 - x0 > 1e-2f) || !(y1 - y0 > 1e-2f))
    return;
  int corners = 0;
  for (int i = 0; i < 4; ++i)
  {
    if (!onEither(fill[i].x, x0, x1) || !onEither(fill[i].y, y0, y1) || fill[i].u != 0.5f || fill[i].v != 1.f)
      return;
    corners |= 1 << ((near(fill[i].x, x1) ? 1 : 0) + (near(fill[i].y, y1) ? 2 : 0));
  }
  if (corners != 15)
    return;
  // The strip: its inner edge on the fill's corners at coverage 1, its outer edge one pixel further out
  // at coverage 0. Anything else (a hole's reversed fringe) keeps its strip.
  const float fx = 1.f / sx, fy = 1.f / sy;
  const NVGvertex* strip = gl->verts + p.strokeOffset;
  for (int i = 0; i < 10; ++i)
  {
    const NVGvertex& v = strip[i];
    const bool inner = v.u == 0.5f;
    if (v.v != 1.f || (!inner && v.u != 1.f))
      return;
    if (inner ? !onEither(v.x, x0, x1) || !onEither(v.y, y0, y1)
              : !onEither(v.x, x0 - fx, x1 + fx) || !onEither(v.y, y0 - fy, y1 + fy))
      return;
  }
  const float l = (x0 - 0.5f * fx) * sx, r = (x1 + 0.5f * fx) * sx;
  const float t = (y0 - 0.5f * fy) * sy, bt = (y1 + 0.5f * fy) * sy;
  if (!near(l, rintf(l)) || !near(r, rintf(r)) || !near(t, rintf(t)) || !near(bt, rintf(bt)))
    return;
  for (int i = 0; i < 4; ++i)
  {
    fill[i].x = near(fill[i].x, x0) ? rintf(l) / sx : rintf(r) / sx;
    fill[i].y = near(fill[i].y, y0) ? rintf(t) / sy : rintf(bt) / sy;
  }
  p.strokeCount = 0;
}

// The fringes of the frame's pixel-aligned rectangles, where the units map to device pixels by the
// ratio the frame was begun with (a framebuffer of another size is left alone).
void dropInvisibleFringes(BatchedGL* b)
{
  GLNVGcontext* gl = &b->gl;
  if (!(gl->flags & NVG_ANTIALIAS) || !(b->pixelRatio > 0.f))
    return;
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const float sx = b->pixelRatio, sy = b->pixelRatio;
  if (static_cast<float>(viewport[2]) != gl->view[0] * sx || static_cast<float>(viewport[3]) != gl->view[1] * sy)
    return;
  for (int k = 0; k < gl->ncalls; ++k)
  {
    const GLNVGcall& c = gl->calls[k];
    if (c.type != GLNVG_CONVEXFILL || c.image != 0)
      continue;
    // Plain colours only: a gradient computed at the edge's pixels may round one level apart when the
    // coverage there is the fill's exact 1 instead of the fringe's interpolated one.
    const GLNVGfragUniforms* f = nvg__fragUniformPtr(gl, c.uniformOffset);
    if (f->type != NSVG_SHADER_FILLGRAD || memcmp(&f->innerCol, &f->outerCol, sizeof(f->innerCol)) != 0)
      continue;
    for (int i = 0; i < c.pathCount; ++i)
      dropInvisibleFringe(b, gl->paths[c.pathOffset + i], sx, sy);
  }
}

// A call whose every fragment is transparent black under a blend that keeps the destination where
// the source is nothing (source over and the like): it changes no pixel, so it is not drawn. Layouts
// fill whole controls with a transparent background colour, which would otherwise cost the
// rasteriser those controls' every pixel once more.
void dropInvisibleCalls(BatchedGL* b)
{
  GLNVGcontext* gl = &b->gl;
  for (int k = 0; k < gl->ncalls; ++k)
  {
    GLNVGcall& c = gl->calls[k];
    if (!plainPaint(b, c) || c.blendFunc.dstRGB != GL_ONE_MINUS_SRC_ALPHA ||
        c.blendFunc.dstAlpha != GL_ONE_MINUS_SRC_ALPHA)
      continue;
    const GLNVGfragUniforms* f = nvg__fragUniformPtr(gl, c.uniformOffset);
    const float* col = f->innerCol.rgba;
    if (col[0] == 0.f && col[1] == 0.f && col[2] == 0.f && col[3] == 0.f)
      c.type = GLNVG_NONE;
  }
}

// Pixel rectangles as GL counts them: x0, y0 (bottom), x1, y1, ends excluded.
struct PixelRect
{
  GLint x0, y0, x1, y1;
  bool empty() const { return x1 <= x0 || y1 <= y0; }
  long area() const { return empty() ? 0 : static_cast<long>(x1 - x0) * (y1 - y0); }
};

PixelRect intersect(const PixelRect& a, const PixelRect& c)
{
  return {glnvg__maxi(a.x0, c.x0), glnvg__maxi(a.y0, c.y0), a.x1 < c.x1 ? a.x1 : c.x1, a.y1 < c.y1 ? a.y1 : c.y1};
}

bool inside(const PixelRect& a, const PixelRect& c)
{
  return a.x0 >= c.x0 && a.y0 >= c.y0 && a.x1 <= c.x1 && a.y1 <= c.y1;
}

PixelRect boxRect(BatchedGL* b, const GLNVGcall& c)
{
  GLint box[4];
  clipBox(b, c, box);
  return {box[0], box[1], box[0] + box[2], box[1] + box[3]};
}

// The pixels an opaque rectangle replaces outright: a plain fill of full alpha, drawn source-over on
// premultiplied colours, one path of four vertices on whole device pixels without its fringe (see
// dropInvisibleFringe). Its coverage, stroke factor and clip are exactly 1 inside the rectangle and
// two pixels inside its clip's box, so those pixels become its colour whatever was drawn there first.
bool opaqueRect(BatchedGL* b, const GLNVGcall& c, PixelRect& out)
{
  GLNVGcontext* gl = &b->gl;
  if (c.type != GLNVG_CONVEXFILL || c.image != 0 || c.pathCount != 1 || c.blendFunc.srcRGB != GL_ONE ||
      c.blendFunc.dstRGB != GL_ONE_MINUS_SRC_ALPHA || c.blendFunc.srcAlpha != GL_ONE ||
      c.blendFunc.dstAlpha != GL_ONE_MINUS_SRC_ALPHA)
    return false;
  const GLNVGfragUniforms* f = nvg__fragUniformPtr(gl, c.uniformOffset);
  if (f->type != NSVG_SHADER_FILLGRAD || memcmp(&f->innerCol, &f->outerCol, sizeof(f->innerCol)) != 0 ||
      f->innerCol.rgba[3] != 1.f || !(f->strokeMult >= 1.f) || f->strokeThr > 0.f)
    return false;
  const GLNVGpath& p = gl->paths[c.pathOffset];
  if (p.fillCount != 4 || p.strokeCount != 0)
    return false;
  const NVGvertex* v = gl->verts + p.fillOffset;
  float x0 = v[0].x, x1 = v[0].x, y0 = v[0].y, y1 = v[0].y;
  for (int i = 1; i < 4; ++i)
  {
    x0 = fminf(x0, v[i].x);
    x1 = fmaxf(x1, v[i].x);
    y0 = fminf(y0, v[i].y);
    y1 = fmaxf(y1, v[i].y);
  }
  int corners = 0;
  for (int i = 0; i < 4; ++i)
  {
    if (v[i].u != 0.5f || v[i].v != 1.f || !onEither(v[i].x, x0, x1) || !onEither(v[i].y, y0, y1))
      return false;
    corners |= 1 << ((near(v[i].x, x1) ? 1 : 0) + (near(v[i].y, y1) ? 2 : 0));
  }
  if (corners != 15)
    return false;
  const GLint* vp = b->viewport;
  const float sx = static_cast<float>(vp[2]) / gl->view[0], sy = static_cast<float>(vp[3]) / gl->view[1];
  const float l = x0 * sx, r = x1 * sx, t = static_cast<float>(vp[3]) - y1 * sy,
              top = static_cast<float>(vp[3]) - y0 * sy;
  if (!near(l, rintf(l)) || !near(r, rintf(r)) || !near(t, rintf(t)) || !near(top, rintf(top)))
    return false;
  const PixelRect rect{vp[0] + static_cast<GLint>(rintf(l)), vp[1] + static_cast<GLint>(rintf(t)),
                       vp[0] + static_cast<GLint>(rintf(r)), vp[1] + static_cast<GLint>(rintf(top))};
  PixelRect clip = boxRect(b, c);
  clip = {clip.x0 + 2, clip.y0 + 2, clip.x1 - 2, clip.y1 - 2};
  out = intersect(rect, clip);
  return !out.empty();
}

// The pixels a call can change: its vertices' bounds, a pixel wider, within its clip's box.
PixelRect reachOf(BatchedGL* b, const GLNVGcall& c)
{
  GLNVGcontext* gl = &b->gl;
  float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
  auto span = [&](int first, int count) {
    for (int i = first; i < first + count; ++i)
    {
      x0 = fminf(x0, gl->verts[i].x);
      x1 = fmaxf(x1, gl->verts[i].x);
      y0 = fminf(y0, gl->verts[i].y);
      y1 = fmaxf(y1, gl->verts[i].y);
    }
  };
  if (c.type == GLNVG_TRIANGLES || c.type == GLNVG_FILL)
    span(c.triangleOffset, c.triangleCount);
  if (c.type != GLNVG_TRIANGLES)
    for (int i = 0; i < c.pathCount; ++i)
    {
      const GLNVGpath& p = gl->paths[c.pathOffset + i];
      span(p.fillOffset, p.fillCount);
      span(p.strokeOffset, p.strokeCount);
    }
  const PixelRect box = boxRect(b, c);
  if (!(x1 >= x0) || !(y1 >= y0))
    return box;
  const GLint* vp = b->viewport;
  const float sx = static_cast<float>(vp[2]) / gl->view[0], sy = static_cast<float>(vp[3]) / gl->view[1];
  const PixelRect verts{vp[0] + static_cast<GLint>(floorf(x0 * sx)) - 1,
                        vp[1] + static_cast<GLint>(floorf(static_cast<float>(vp[3]) - y1 * sy)) - 1,
                        vp[0] + static_cast<GLint>(ceilf(x1 * sx)) + 1,
                        vp[1] + static_cast<GLint>(ceilf(static_cast<float>(vp[3]) - y0 * sy)) + 1};
  return intersect(verts, box);
}

// The parts of reach around hole (which lies within it), as scissor boxes.
void setStrips(CallStrips& st, const PixelRect& reach, const PixelRect& hole)
{
  const PixelRect parts[4] = {{reach.x0, reach.y0, reach.x1, hole.y0},
                              {reach.x0, hole.y1, reach.x1, reach.y1},
                              {reach.x0, hole.y0, hole.x0, hole.y1},
                              {hole.x1, hole.y0, reach.x1, hole.y1}};
  st.active = 1;
  st.count = 0;
  for (const PixelRect& part : parts)
    if (!part.empty())
    {
      GLint* box = st.box[st.count++];
      box[0] = part.x0;
      box[1] = part.y0;
      box[2] = part.x1 - part.x0;
      box[3] = part.y1 - part.y0;
    }
}

// Pixels that a later opaque rectangle of the same flush replaces are not drawn before it: a call
// wholly under one is dropped, and a large one (a panel behind an opaque control) is drawn through
// the strips of its reach around the rectangle instead of over all of it.
void dropOccludedPixels(BatchedGL* b)
{
  GLNVGcontext* gl = &b->gl;
  b->haveStrips = 0;
  if (!(gl->view[0] > 0.f) || !(gl->view[1] > 0.f) || !batchGrow(b->strips, b->cstrips, gl->ncalls, 64))
    return;
  for (int k = 0; k < gl->ncalls; ++k)
    b->strips[k].active = b->strips[k].clear = 0;
  b->haveStrips = 1;
  // The first few opaque rectangles of the flush (leaving one out only draws more).
  constexpr int kMaxOpaque = 16;
  PixelRect opaque[kMaxOpaque];
  int opaqueCall[kMaxOpaque];
  int nopaque = 0;
  for (int k = 0; k < gl->ncalls && nopaque < kMaxOpaque; ++k)
    if (opaqueRect(b, gl->calls[k], opaque[nopaque]))
      opaqueCall[nopaque++] = k;
  const int last = nopaque > 0 ? opaqueCall[nopaque - 1] : -1;
  for (int k = 0; k < last; ++k)
  {
    GLNVGcall& c = gl->calls[k];
    if (c.type == GLNVG_NONE)
      continue;
    const PixelRect reach = reachOf(b, c);
    PixelRect best{0, 0, 0, 0};
    for (int n = 0; n < nopaque; ++n)
    {
      if (opaqueCall[n] <= k)
        continue;
      const PixelRect& o = opaque[n];
      if (inside(reach, o))
      {
        c.type = GLNVG_NONE;
        break;
      }
      if (intersect(reach, o).area() > intersect(reach, best).area())
        best = o;
    }
    if (c.type == GLNVG_NONE || !batchable(c) || static_cast<float>(reach.area()) < kLargeFillPixels)
      continue;
    const PixelRect hole = intersect(reach, best);
    if (2 * hole.area() < reach.area())
      continue;
    setStrips(b->strips[k], reach, hole);
  }
  // A large opaque rectangle clears its inside to its colour, which a rasteriser does far faster than
  // it shades those pixels, and is drawn through the strips around it for its edges.
  for (int n = 0; n < nopaque; ++n)
  {
    const GLNVGcall& c = gl->calls[opaqueCall[n]];
    if (c.type == GLNVG_NONE || static_cast<float>(opaque[n].area()) < kLargeFillPixels)
      continue;
    CallStrips& st = b->strips[opaqueCall[n]];
    setStrips(st, reachOf(b, c), opaque[n]);
    st.clear = 1;
    const PixelRect& o = opaque[n];
    st.clearBox[0] = o.x0;
    st.clearBox[1] = o.y0;
    st.clearBox[2] = o.x1 - o.x0;
    st.clearBox[3] = o.y1 - o.y0;
    memcpy(st.color, nvg__fragUniformPtr(gl, c.uniformOffset)->innerCol.rgba, sizeof(st.color));
  }
}

void batchedViewport(void* uptr, float width, float height, float devicePixelRatio)
{
  static_cast<BatchedGL*>(uptr)->pixelRatio = devicePixelRatio;
  glnvg__renderViewport(uptr, width, height, devicePixelRatio);
}

// Splits the calls into runs, writes the index list and the vertices' paints; false when out of memory.
bool planRuns(BatchedGL* b)
{
  GLNVGcontext* gl = &b->gl;
  b->nindices = 0;
  b->nruns = 0;
  if (!batchGrow(b->runs, b->cruns, gl->ncalls, 64))
    return false;
  if (b->vertexPaints && !batchGrow(b->paints, b->cpaints, gl->nverts, 4096))
    return false;
  for (int i = 0; i < gl->ncalls;)
  {
    const GLNVGcall& c = gl->calls[i];
    const bool plain = plainPaint(b, c);
    int image = plain && samples(nvg__fragUniformPtr(gl, c.uniformOffset)) ? c.image : 0;
    int large = plain && largeFill(b, c) ? 1 : 0;
    int end = i + 1;
    if (batchable(c) && !stripped(b, i))
      while (end < gl->ncalls && !stripped(b, end) && joins(b, c, plain, &image, &large, gl->calls[end]))
        ++end;
    int draws = 0;
    for (int k = i; k < end && draws < 2 && batchable(gl->calls[k]); ++k)
      draws += drawsOf(gl, gl->calls[k]);
    BatchRun run{i, end, -1, 0, plain ? 1 : 0, image, large};
    if (draws > 1)
    {
      const int start = b->nindices;
      for (int k = i; k < end; ++k)
        if (!batchAppend(b, gl->calls[k]))
          return false;
      run.index = start;
      run.count = b->nindices - start;
    }
    if (b->vertexPaints)
      for (int k = i; k < end; ++k)
        paintVertices(b, gl->calls[k], plain);
    b->runs[b->nruns++] = run;
    i = end;
  }
  return true;
}

void drawRun(BatchedGL* b, const BatchRun& run)
{
  GLNVGcontext* gl = &b->gl;
  if (run.index < 0)
  {
    drawAsNanoVG(b, run);
    return;
  }
  glnvg__blendFuncSeparate(gl, &gl->calls[run.first].blendFunc);
  setClipBox(b, gl->calls[run.first]);
  setRunPaint(b, run);
  glDrawElements(GL_TRIANGLES, run.count, GL_UNSIGNED_INT,
                 (const GLvoid*)(sizeof(GLuint) * static_cast<size_t>(run.index)));
}

void batchedFlush(void* uptr)
{
  auto* b = static_cast<BatchedGL*>(uptr);
  GLNVGcontext* gl = &b->gl;
  dropInvisibleFringes(b);
  dropInvisibleCalls(b);
  glGetIntegerv(GL_VIEWPORT, b->viewport);
  b->haveStrips = 0;
  dropOccludedPixels(b);
  if (gl->ncalls > 0 && !planRuns(b))
  {
    // Out of memory for the plan: each call drawn as NanoVG draws it, its paint in the uniforms.
    b->nruns = 0;
    b->nindices = 0;
    if (batchGrow(b->runs, b->cruns, 1, 64) && (!b->vertexPaints || batchGrow(b->paints, b->cpaints, gl->nverts, 4096)))
    {
      b->runs[b->nruns++] = BatchRun{0, gl->ncalls, -1, 0, 0, 0, 0};
      for (int k = 0; k < gl->ncalls && b->vertexPaints; ++k)
        paintVertices(b, gl->calls[k], false);
    }
    else
    {
      gl->nverts = gl->npaths = gl->ncalls = gl->nuniforms = 0;
      return;
    }
  }
  if (gl->ncalls > 0)
  {
    if (b->plainShader.prog != 0)
    {
      glUseProgram(b->plainShader.prog);
      glUniform2fv(b->plainShader.loc[GLNVG_LOC_VIEWSIZE], 1, gl->view);
    }
    glUseProgram(gl->shader.prog);
    b->program = 0;
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    // Each draw is confined to its clip's pixels; the test is off again when the flush returns.
    b->scissor[0] = b->scissor[1] = b->scissor[2] = b->scissor[3] = -1;
    glEnable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilMask(0xffffffff);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glStencilFunc(GL_ALWAYS, 0, 0xffffffff);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    gl->boundTexture = 0;
    gl->stencilMask = 0xffffffff;
    gl->stencilFunc = GL_ALWAYS;
    gl->stencilFuncRef = 0;
    gl->stencilFuncMask = 0xffffffff;
    gl->blendFunc.srcRGB = GL_INVALID_ENUM;
    gl->blendFunc.srcAlpha = GL_INVALID_ENUM;
    gl->blendFunc.dstRGB = GL_INVALID_ENUM;
    gl->blendFunc.dstAlpha = GL_INVALID_ENUM;
    b->haveUploaded[0] = b->haveUploaded[1] = 0;

    glBindVertexArray(gl->vertArr);
    glBindBuffer(GL_ARRAY_BUFFER, gl->vertBuf);
    glBufferData(GL_ARRAY_BUFFER, gl->nverts * sizeof(NVGvertex), gl->verts, GL_STREAM_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(NVGvertex), (const GLvoid*)(size_t)0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(NVGvertex), (const GLvoid*)(0 + 2 * sizeof(float)));
    if (b->vertexPaints)
    {
      glBindBuffer(GL_ARRAY_BUFFER, b->paintBuffer);
      glBufferData(GL_ARRAY_BUFFER, gl->nverts * sizeof(VertexPaint), b->paints, GL_STREAM_DRAW);
      glEnableVertexAttribArray(2);
      glEnableVertexAttribArray(3);
      glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, sizeof(VertexPaint), (const GLvoid*)(size_t)0);
      glVertexAttribPointer(3, 4, GL_FLOAT, GL_FALSE, sizeof(VertexPaint), (const GLvoid*)(4 * sizeof(float)));
    }
    if (b->nindices > 0)
    {
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b->indexBuffer);
      glBufferData(GL_ELEMENT_ARRAY_BUFFER, b->nindices * sizeof(GLuint), b->indices, GL_STREAM_DRAW);
    }

    glUniform1i(gl->shader.loc[GLNVG_LOC_TEX], 0);
    glUniform2fv(gl->shader.loc[GLNVG_LOC_VIEWSIZE], 1, gl->view);

    bool savedClear = false;
    float clearColor[4] = {0.f, 0.f, 0.f, 0.f};
    for (int r = 0; r < b->nruns; ++r)
    {
      const BatchRun& run = b->runs[r];
      useProgram(b, run.vertexPaint && run.image == 0 && b->plainShader.prog != 0 ? 1 : 0);
      if (!stripped(b, run.first))
      {
        drawRun(b, run);
        continue;
      }
      const CallStrips& st = b->strips[run.first];
      if (st.clear)
      {
        if (!savedClear)
          glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
        savedClear = true;
        glScissor(st.clearBox[0], st.clearBox[1], st.clearBox[2], st.clearBox[3]);
        memcpy(b->scissor, st.clearBox, sizeof(b->scissor));
        glClearColor(st.color[0], st.color[1], st.color[2], st.color[3]);
        glClear(GL_COLOR_BUFFER_BIT);
      }
      for (int k = 0; k < st.count; ++k)
      {
        b->forcedBox = st.box[k];
        drawRun(b, run);
      }
      b->forcedBox = NULL;
    }
    if (savedClear)
      glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);

    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    if (b->vertexPaints)
    {
      glDisableVertexAttribArray(2);
      glDisableVertexAttribArray(3);
    }
    glBindVertexArray(0);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(0);
    glnvg__bindTexture(gl, 0);
  }
  gl->nverts = 0;
  gl->npaths = 0;
  gl->ncalls = 0;
  gl->nuniforms = 0;
}

int batchedCreate(void* uptr, void* otherUptr)
{
  if (!glnvg__renderCreate(uptr, otherUptr))
    return 0;
  auto* b = static_cast<BatchedGL*>(uptr);
  GLNVGcontext* gl = &b->gl;
  glGenBuffers(1, &b->indexBuffer);
  glGenBuffers(1, &b->paintBuffer);
  // The shader with paints on the vertices replaces NanoVG's; if it cannot be made, NanoVG's stays
  // and every paint is set through the uniforms.
  GLNVGshader shader;
  const char* header = (gl->flags & NVG_ANTIALIAS)
                         ? "#version 150 core\n#define UNIFORMARRAY_SIZE 11\n#define EDGE_AA 1\n"
                         : "#version 150 core\n#define UNIFORMARRAY_SIZE 11\n";
  if (!glnvg__createShader(&shader, "batched", header, NULL, kVertexShader, kFragmentShader))
    return 1;
  glBindAttribLocation(shader.prog, 2, "paintColor");
  glBindAttribLocation(shader.prog, 3, "paintParams");
  glLinkProgram(shader.prog);
  GLint linked = GL_FALSE;
  glGetProgramiv(shader.prog, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE)
  {
    glnvg__deleteShader(&shader);
    return 1;
  }
  glnvg__deleteShader(&gl->shader);
  gl->shader = shader;
  glnvg__getUniforms(&gl->shader);
  b->vertexPaints = 1;
  // Without the plain program every run takes the full one.
  const char* plainHeader =
    (gl->flags & NVG_ANTIALIAS)
      ? "#version 150 core\n#define UNIFORMARRAY_SIZE 11\n#define EDGE_AA 1\n#define PLAIN_ONLY 1\n"
      : "#version 150 core\n#define UNIFORMARRAY_SIZE 11\n#define PLAIN_ONLY 1\n";
  if (glnvg__createShader(&b->plainShader, "plain", plainHeader, NULL, kVertexShader, kFragmentShader))
  {
    glBindAttribLocation(b->plainShader.prog, 2, "paintColor");
    glBindAttribLocation(b->plainShader.prog, 3, "paintParams");
    glLinkProgram(b->plainShader.prog);
    glGetProgramiv(b->plainShader.prog, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE)
      glnvg__getUniforms(&b->plainShader);
    else
    {
      glnvg__deleteShader(&b->plainShader);
      memset(&b->plainShader, 0, sizeof(b->plainShader));
    }
  }
  return 1;
}

void batchedDelete(void* uptr)
{
  auto* b = static_cast<BatchedGL*>(uptr);
  if (b == NULL)
    return;
  if (b->indexBuffer != 0)
    glDeleteBuffers(1, &b->indexBuffer);
  if (b->paintBuffer != 0)
    glDeleteBuffers(1, &b->paintBuffer);
  if (b->plainShader.prog != 0)
    glnvg__deleteShader(&b->plainShader);
  free(b->indices);
  free(b->paints);
  free(b->runs);
  free(b->strips);
  glnvg__renderDelete(uptr); // frees b, whose first member it is
}

} // namespace

NVGcontext* nvgCreateBatchedGL3(int flags)
{
  // Strokes drawn through the stencil take passes of their own; those stay with NanoVG's renderer.
  if (flags & NVG_STENCIL_STROKES)
    return nvgCreateGL3(flags);
  auto* b = static_cast<BatchedGL*>(malloc(sizeof(BatchedGL)));
  if (b == NULL)
    return NULL;
  memset(b, 0, sizeof(BatchedGL));
  NVGparams params;
  memset(&params, 0, sizeof(params));
  params.renderCreate = batchedCreate;
  params.renderCreateTexture = glnvg__renderCreateTexture;
  params.renderDeleteTexture = glnvg__renderDeleteTexture;
  params.renderUpdateTexture = glnvg__renderUpdateTexture;
  params.renderGetTextureSize = glnvg__renderGetTextureSize;
  params.renderViewport = batchedViewport;
  params.renderCancel = glnvg__renderCancel;
  params.renderFlush = batchedFlush;
  params.renderFill = glnvg__renderFill;
  params.renderStroke = glnvg__renderStroke;
  params.renderTriangles = glnvg__renderTriangles;
  params.renderDelete = batchedDelete;
  params.userPtr = b;
  params.edgeAntiAlias = flags & NVG_ANTIALIAS ? 1 : 0;
  b->gl.flags = flags;
  // On failure past its own allocation nvgCreateInternal deletes b through batchedDelete.
  return nvgCreateInternal(&params, NULL);
}
