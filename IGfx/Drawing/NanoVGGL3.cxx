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

// A flush that submits fewer draws, for a software rasteriser whose cost is per draw and per change of
// fragment state rather than per pixel on the calling thread. Consecutive calls with the same paint,
// clip and blend become one indexed triangle list, listing the triangles the separate fans and strips
// would have made, in the same order and with the same vertex order (so the same pixels). Paints that
// sample no texture leave the bound one in place, and unchanged paints are not uploaded again.
namespace {

// A run of calls that share a paint: [first, end) and its slice of the index list, or index -1 where
// the run is drawn as its calls would draw themselves.
struct BatchRun
{
  int first, end, index, count;
};

// Plain C memory only: the plug-in module may be unloaded before the thread ends, so nothing here may
// leave a destructor behind.
struct BatchedGL
{
  GLNVGcontext gl; // first: NanoVG's own functions receive and free this pointer
  GLuint indexBuffer;
  GLuint* indices;
  int nindices;
  int cindices;
  BatchRun* runs;
  int nruns;
  int cruns;
  float uploaded[NANOVG_GL_UNIFORMARRAY_SIZE][4];
  int haveUploaded;
};

bool batchReserve(BatchedGL* b, int more)
{
  if (b->nindices + more <= b->cindices)
    return true;
  const int capacity = glnvg__maxi(b->nindices + more, 4096) + b->cindices / 2;
  auto* grown = static_cast<GLuint*>(realloc(b->indices, sizeof(GLuint) * static_cast<size_t>(capacity)));
  if (!grown)
    return false;
  b->indices = grown;
  b->cindices = capacity;
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

void batchList(BatchedGL* b, int first, int count)
{
  for (int i = 0; i < count; ++i)
    b->indices[b->nindices++] = static_cast<GLuint>(first + i);
}

bool batchable(const GLNVGcall& c)
{
  return c.type == GLNVG_CONVEXFILL || c.type == GLNVG_STROKE || c.type == GLNVG_TRIANGLES;
}

bool samePaint(GLNVGcontext* gl, const GLNVGcall& a, const GLNVGcall& c)
{
  return a.image == c.image && a.blendFunc.srcRGB == c.blendFunc.srcRGB && a.blendFunc.dstRGB == c.blendFunc.dstRGB &&
         a.blendFunc.srcAlpha == c.blendFunc.srcAlpha && a.blendFunc.dstAlpha == c.blendFunc.dstAlpha &&
         (a.uniformOffset == c.uniformOffset ||
          memcmp(nvg__fragUniformPtr(gl, a.uniformOffset), nvg__fragUniformPtr(gl, c.uniformOffset),
                 sizeof(GLNVGfragUniforms)) == 0);
}

// The draws a call makes as separate fans and strips, and its triangles appended to the index list.
int batchDrawCount(GLNVGcontext* gl, const GLNVGcall& c)
{
  if (c.type == GLNVG_TRIANGLES)
    return 1;
  int n = 0;
  for (int i = 0; i < c.pathCount; ++i)
  {
    const GLNVGpath& p = gl->paths[c.pathOffset + i];
    n += c.type == GLNVG_CONVEXFILL ? 1 + (p.strokeCount > 0 ? 1 : 0) : 1;
  }
  return n;
}

bool batchAppend(BatchedGL* b, const GLNVGcall& c)
{
  GLNVGcontext* gl = &b->gl;
  if (c.type == GLNVG_TRIANGLES)
  {
    if (!batchReserve(b, c.triangleCount))
      return false;
    batchList(b, c.triangleOffset, c.triangleCount);
    return true;
  }
  for (int i = 0; i < c.pathCount; ++i)
  {
    const GLNVGpath& p = gl->paths[c.pathOffset + i];
    if (!batchReserve(b, 3 * (glnvg__maxi(p.fillCount, 2) + glnvg__maxi(p.strokeCount, 2))))
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

void batchSetPaint(BatchedGL* b, const GLNVGcall& c)
{
  GLNVGcontext* gl = &b->gl;
  GLNVGfragUniforms* frag = nvg__fragUniformPtr(gl, c.uniformOffset);
  if (!b->haveUploaded || memcmp(b->uploaded, frag->uniformArray, sizeof(b->uploaded)) != 0)
  {
    glUniform4fv(gl->shader.loc[GLNVG_LOC_FRAG], NANOVG_GL_UNIFORMARRAY_SIZE, &(frag->uniformArray[0][0]));
    memcpy(b->uploaded, frag->uniformArray, sizeof(b->uploaded));
    b->haveUploaded = 1;
  }
  // Only the image and textured-triangle paints read the texture.
  if (frag->type != NSVG_SHADER_FILLIMG && frag->type != NSVG_SHADER_IMG)
    return;
  GLNVGtexture* tex = c.image != 0 ? glnvg__findTexture(gl, c.image) : NULL;
  if (tex == NULL)
    tex = glnvg__findTexture(gl, gl->dummyTex);
  glnvg__bindTexture(gl, tex != NULL ? tex->tex : 0);
}

void batchedFlush(void* uptr)
{
  auto* b = static_cast<BatchedGL*>(uptr);
  GLNVGcontext* gl = &b->gl;
  if (gl->ncalls > 0)
  {
    b->nindices = 0;
    b->nruns = 0;
    if (b->cruns < gl->ncalls)
    {
      auto* grown = static_cast<BatchRun*>(realloc(b->runs, sizeof(BatchRun) * static_cast<size_t>(gl->ncalls)));
      if (grown == NULL)
      {
        glnvg__renderFlush(uptr);
        return;
      }
      b->runs = grown;
      b->cruns = gl->ncalls;
    }
    for (int i = 0; i < gl->ncalls;)
    {
      const GLNVGcall& c = gl->calls[i];
      int end = i + 1;
      if (batchable(c))
        while (end < gl->ncalls && batchable(gl->calls[end]) && samePaint(gl, c, gl->calls[end]))
          ++end;
      int draws = 0;
      for (int k = i; k < end && draws < 2 && batchable(gl->calls[k]); ++k)
        draws += batchDrawCount(gl, gl->calls[k]);
      BatchRun run{i, end, -1, 0};
      if (draws > 1)
      {
        const int start = b->nindices;
        bool ok = true;
        for (int k = i; k < end && ok; ++k)
          ok = batchAppend(b, gl->calls[k]);
        if (ok)
          run = BatchRun{i, end, start, b->nindices - start};
        else
          b->nindices = start;
      }
      b->runs[b->nruns++] = run;
      i = end;
    }

    glUseProgram(gl->shader.prog);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
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
    b->haveUploaded = 0;

    glBindVertexArray(gl->vertArr);
    glBindBuffer(GL_ARRAY_BUFFER, gl->vertBuf);
    glBufferData(GL_ARRAY_BUFFER, gl->nverts * sizeof(NVGvertex), gl->verts, GL_STREAM_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(NVGvertex), (const GLvoid*)(size_t)0);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(NVGvertex), (const GLvoid*)(0 + 2 * sizeof(float)));
    if (b->nindices > 0)
    {
      if (b->indexBuffer == 0)
        glGenBuffers(1, &b->indexBuffer);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b->indexBuffer);
      glBufferData(GL_ELEMENT_ARRAY_BUFFER, b->nindices * sizeof(GLuint), b->indices, GL_STREAM_DRAW);
    }

    glUniform1i(gl->shader.loc[GLNVG_LOC_TEX], 0);
    glUniform2fv(gl->shader.loc[GLNVG_LOC_VIEWSIZE], 1, gl->view);

    for (int r = 0; r < b->nruns; ++r)
    {
      const BatchRun& run = b->runs[r];
      GLNVGcall* c = &gl->calls[run.first];
      glnvg__blendFuncSeparate(gl, &c->blendFunc);
      if (run.index >= 0)
      {
        batchSetPaint(b, *c);
        glDrawElements(GL_TRIANGLES, run.count, GL_UNSIGNED_INT,
                       (const GLvoid*)(sizeof(GLuint) * static_cast<size_t>(run.index)));
        continue;
      }
      for (int k = run.first; k < run.end; ++k)
      {
        c = &gl->calls[k];
        glnvg__blendFuncSeparate(gl, &c->blendFunc);
        if (c->type == GLNVG_FILL)
        {
          glnvg__fill(gl, c);
          b->haveUploaded = 0;
          continue;
        }
        batchSetPaint(b, *c);
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

    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
    glBindVertexArray(0);
    glDisable(GL_CULL_FACE);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(0);
    glnvg__bindTexture(gl, 0);
  }
  gl->nverts = 0;
  gl->npaths = 0;
  gl->ncalls = 0;
  gl->nuniforms = 0;
}

void batchedDelete(void* uptr)
{
  auto* b = static_cast<BatchedGL*>(uptr);
  if (b == NULL)
    return;
  if (b->indexBuffer != 0)
    glDeleteBuffers(1, &b->indexBuffer);
  free(b->indices);
  free(b->runs);
  glnvg__renderDelete(uptr); // frees b, whose first member it is
}

} // namespace

NVGcontext* nvgCreateBatchedGL3(int flags)
{
  auto* b = static_cast<BatchedGL*>(malloc(sizeof(BatchedGL)));
  if (b == NULL)
    return NULL;
  memset(b, 0, sizeof(BatchedGL));
  NVGparams params;
  memset(&params, 0, sizeof(params));
  params.renderCreate = glnvg__renderCreate;
  params.renderCreateTexture = glnvg__renderCreateTexture;
  params.renderDeleteTexture = glnvg__renderDeleteTexture;
  params.renderUpdateTexture = glnvg__renderUpdateTexture;
  params.renderGetTextureSize = glnvg__renderGetTextureSize;
  params.renderViewport = glnvg__renderViewport;
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
