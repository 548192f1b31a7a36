// Empty stand-ins that let the context link until the drawing API, layers, resources and fonts have
// their real definitions. Built only while IGfxDrawing.cpp is absent (see CMakeLists.txt).
#include "IGfx/IGfx.h"

namespace plugkit::gfx {

class IBitmap
{};

void PlatformFontDeleter::operator()(PlatformFont*) const {}

void IGfx::RetainResourceCaches() {}
void IGfx::ReleaseResourceCaches() {}

void IGfx::DrawLine(const IColor&, float, float, float, float, const IBlend*, float) {}
void IGfx::DrawTriangle(const IColor&, float, float, float, float, float, float, const IBlend*, float) {}
void IGfx::DrawRect(const IColor&, const IRECT&, const IBlend*, float) {}
void IGfx::DrawRoundRect(const IColor&, const IRECT&, float, const IBlend*, float) {}
void IGfx::DrawRoundRect(const IColor&, const IRECT&, float, float, float, float, const IBlend*, float) {}
void IGfx::DrawConvexPolygon(const IColor&, float*, float*, int, const IBlend*, float) {}
void IGfx::DrawArc(const IColor&, float, float, float, float, float, const IBlend*, float) {}
void IGfx::DrawCircle(const IColor&, float, float, float, const IBlend*, float) {}
void IGfx::DrawEllipse(const IColor&, const IRECT&, const IBlend*, float) {}
void IGfx::DrawEllipse(const IColor&, float, float, float, float, float, const IBlend*, float) {}
void IGfx::DrawDottedLine(const IColor&, float, float, float, float, const IBlend*, float, float) {}
void IGfx::DrawDottedRect(const IColor&, const IRECT&, const IBlend*, float, float) {}
void IGfx::DrawGrid(const IColor&, const IRECT&, float, float, const IBlend*, float) {}
void IGfx::DrawData(const IColor&, const IRECT&, float*, int, float*, const IBlend*, float, const IColor*) {}
void IGfx::DrawRadialLine(const IColor&, float, float, float, float, float, const IBlend*, float) {}
void IGfx::DrawPoint(const IColor&, float, float, const IBlend*) {}
void IGfx::FillTriangle(const IColor&, float, float, float, float, float, float, const IBlend*) {}
void IGfx::FillRect(const IColor&, const IRECT&, const IBlend*) {}
void IGfx::FillRoundRect(const IColor&, const IRECT&, float, const IBlend*) {}
void IGfx::FillRoundRect(const IColor&, const IRECT&, float, float, float, float, const IBlend*) {}
void IGfx::FillConvexPolygon(const IColor&, float*, float*, int, const IBlend*) {}
void IGfx::FillArc(const IColor&, float, float, float, float, float, const IBlend*) {}
void IGfx::FillCircle(const IColor&, float, float, float, const IBlend*) {}
void IGfx::FillEllipse(const IColor&, const IRECT&, const IBlend*) {}
void IGfx::FillEllipse(const IColor&, float, float, float, float, float, const IBlend*) {}
void IGfx::DrawMultiLineText(const IText&, const char*, IRECT&, const IBlend*) {}
IBitmap IGfx::LoadBitmap(const char*, int, bool, int) { return IBitmap(); }
void IGfx::RetainBitmap(const IBitmap&, const char*) {}
void IGfx::ReleaseBitmap(const IBitmap&) {}

} // namespace plugkit::gfx
