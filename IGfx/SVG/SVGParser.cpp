// SVG text to shape records, through SVG++ over rapidxml_ns. The only file that sees SVG++ or Boost.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <rapidxml_ns/rapidxml_ns.hpp>
#include <svgpp/policy/xml/rapidxml_ns.hpp>
#include <svgpp/svgpp.hpp>

#include "IGfx/SVG/SVGImage.h"

namespace plugkit::gfx::svg {
namespace {

using XMLNode = rapidxml_ns::xml_node<char>;
using Matrix = std::array<double, 6>; // xx, yx, xy, yy, tx, ty

Matrix Multiply(const Matrix& a, const Matrix& b) // a applied after b
{
  return {a[0] * b[0] + a[2] * b[1], a[1] * b[0] + a[3] * b[1],        a[0] * b[2] + a[2] * b[3],
          a[1] * b[2] + a[3] * b[3], a[0] * b[4] + a[2] * b[5] + a[4], a[1] * b[4] + a[3] * b[5] + a[5]};
}

bool Invert(const Matrix& m, Matrix& out)
{
  const double det = m[0] * m[3] - m[1] * m[2];
  if (std::fabs(det) < 1e-12)
    return false;
  const double inv = 1.0 / det;
  out = {m[3] * inv,
         -m[1] * inv,
         -m[2] * inv,
         m[0] * inv,
         (m[2] * m[5] - m[3] * m[4]) * inv,
         (m[1] * m[4] - m[0] * m[5]) * inv};
  return true;
}

constexpr Matrix kIdentity{1, 0, 0, 1, 0, 0};

// Tight bounds of a path of cubic segments: the ends plus each segment's extremes on both axes.
void CurveBounds(Path& p)
{
  float* b = p.bounds;
  b[0] = b[2] = p.pts[0];
  b[1] = b[3] = p.pts[1];
  auto add = [b](double x, double y) {
    b[0] = std::min(b[0], static_cast<float>(x));
    b[1] = std::min(b[1], static_cast<float>(y));
    b[2] = std::max(b[2], static_cast<float>(x));
    b[3] = std::max(b[3], static_cast<float>(y));
  };
  for (int i = 1; i + 2 < p.npts; i += 3)
  {
    const float* q = &p.pts[2 * (i - 1)];
    add(q[6], q[7]);
    for (int axis = 0; axis < 2; ++axis)
    {
      const double v0 = q[axis], v1 = q[2 + axis], v2 = q[4 + axis], v3 = q[6 + axis];
      // Roots of the derivative a·t² + b·t + c.
      const double a = -v0 + 3 * v1 - 3 * v2 + v3, bq = 2 * (v0 - 2 * v1 + v2), c = v1 - v0;
      double roots[2];
      int n = 0;
      if (std::fabs(a) < 1e-12)
      {
        if (std::fabs(bq) > 1e-12)
          roots[n++] = -c / bq;
      }
      else
      {
        const double disc = bq * bq - 4 * a * c;
        if (disc >= 0)
        {
          roots[n++] = (-bq + std::sqrt(disc)) / (2 * a);
          roots[n++] = (-bq - std::sqrt(disc)) / (2 * a);
        }
      }
      for (int r = 0; r < n; ++r)
      {
        const double t = roots[r];
        if (t <= 0 || t >= 1)
          continue;
        const double u = 1 - t;
        auto at = [&](int k) {
          return u * u * u * q[k] + 3 * u * u * t * q[2 + k] + 3 * u * t * t * q[4 + k] + t * t * t * q[6 + k];
        };
        add(at(0), at(1));
      }
    }
  }
}

uint32_t PackRGB(int svgppColor) // SVG++ packs red highest
{
  const uint32_t c = static_cast<uint32_t>(svgppColor);
  return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16);
}

template <class Range>
std::string ToString(const Range& r)
{
  return std::string(boost::begin(r), boost::end(r));
}

// Gradient geometry read straight from attributes: numbers or percentages, kept raw because
// objectBoundingBox units make them fractions of the shape's box.
struct GradientAttributes
{
  bool linear = true;
  bool userSpace = false;
  int spread = kSpreadPad;
  double x1 = 0, y1 = 0, x2 = 1, y2 = 0;
  double cx = 0.5, cy = 0.5, r = 0.5;
  bool x1Pct = false, y1Pct = false, x2Pct = false, y2Pct = false, cxPct = false, cyPct = false, rPct = false;
  Matrix transform = kIdentity;
  std::vector<GradientStop> stops;
};

bool ParseNumberAttr(const XMLNode& node, const char* name, double& value, bool& percent)
{
  const auto* attr = node.first_attribute(name);
  if (!attr)
    return false;
  const std::string text(attr->value(), attr->value_size());
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v))
    return false;
  percent = end && *end == '%';
  value = percent ? v / 100.0 : v;
  return true;
}

std::string AttrText(const XMLNode& node, const char* name)
{
  const auto* attr = node.first_attribute(name);
  return attr ? std::string(attr->value(), attr->value_size()) : std::string();
}

std::string HrefTarget(const XMLNode& node)
{
  for (const auto* attr = node.first_attribute(); attr; attr = attr->next_attribute())
  {
    const std::string local(attr->local_name(), attr->local_name_size());
    if (local == "href")
    {
      const std::string v(attr->value(), attr->value_size());
      return (!v.empty() && v[0] == '#') ? v.substr(1) : std::string();
    }
  }
  return {};
}

// Receives the events of one <stop> element.
struct StopContext
{
  double offset = 0;
  int color = 0;
  double opacity = 1;

  void on_enter_element(svgpp::tag::element::any) {}
  void on_exit_element() {}
  void set(svgpp::tag::attribute::offset, double v) { offset = v; }
  void set(svgpp::tag::attribute::stop_color, int c) { color = c; }
  void set(svgpp::tag::attribute::stop_color, svgpp::tag::value::currentColor) {}
  void set(svgpp::tag::attribute::stop_opacity, double v) { opacity = v; }
  template <class... Args>
  void set(Args&&...)
  {}
};

using StopAttributes = boost::mpl::set<svgpp::tag::attribute::offset, svgpp::tag::attribute::stop_color,
                                       svgpp::tag::attribute::stop_opacity>::type;
using StopTraversal =
  svgpp::document_traversal<svgpp::processed_elements<boost::mpl::set<svgpp::tag::element::stop>::type>,
                            svgpp::processed_attributes<StopAttributes>>;

// Receives a gradient's gradientTransform.
struct TransformContext
{
  Matrix matrix = kIdentity;
  void on_enter_element(svgpp::tag::element::any) {}
  void on_exit_element() {}
  void transform_matrix(const boost::array<double, 6>& m)
  {
    matrix = Multiply(matrix, {m[0], m[1], m[2], m[3], m[4], m[5]});
  }
  template <class... Args>
  void set(Args&&...)
  {}
};

using TransformTraversal = svgpp::document_traversal<
  svgpp::processed_elements<
    boost::mpl::set<svgpp::tag::element::linearGradient, svgpp::tag::element::radialGradient>::type>,
  svgpp::processed_attributes<boost::mpl::set<svgpp::tag::attribute::gradientTransform>::type>,
  svgpp::transform_policy<svgpp::policy::transform::matrix>>;

class Document
{
public:
  explicit Document(XMLNode& root) { Index(root); }

  const XMLNode* FindById(const std::string& id) const
  {
    const auto it = mIds.find(id);
    return it == mIds.end() ? nullptr : it->second;
  }

  // The gradient named id, with what it inherits through href (stops and unset geometry).
  bool ResolveGradient(const std::string& id, GradientAttributes& gradient) const
  {
    const XMLNode* node = FindById(id);
    if (!node)
      return false;
    const std::string name(node->local_name(), node->local_name_size());
    if (name != "linearGradient" && name != "radialGradient")
      return false;
    gradient = GradientAttributes{};
    gradient.linear = name == "linearGradient";
    bool have[7] = {}, haveUnits = false, haveSpread = false, haveTransform = false, haveStops = false;
    for (int depth = 0; node && depth < 8; ++depth)
    {
      auto num = [&](int i, const char* attr, double& v, bool& pct) {
        if (!have[i])
          have[i] = ParseNumberAttr(*node, attr, v, pct);
      };
      num(0, "x1", gradient.x1, gradient.x1Pct);
      num(1, "y1", gradient.y1, gradient.y1Pct);
      num(2, "x2", gradient.x2, gradient.x2Pct);
      num(3, "y2", gradient.y2, gradient.y2Pct);
      num(4, "cx", gradient.cx, gradient.cxPct);
      num(5, "cy", gradient.cy, gradient.cyPct);
      num(6, "r", gradient.r, gradient.rPct);
      if (!haveUnits && node->first_attribute("gradientUnits"))
      {
        gradient.userSpace = AttrText(*node, "gradientUnits") == "userSpaceOnUse";
        haveUnits = true;
      }
      if (!haveSpread && node->first_attribute("spreadMethod"))
      {
        const std::string s = AttrText(*node, "spreadMethod");
        gradient.spread = s == "reflect" ? kSpreadReflect : s == "repeat" ? kSpreadRepeat : kSpreadPad;
        haveSpread = true;
      }
      if (!haveTransform && node->first_attribute("gradientTransform"))
      {
        TransformContext tc;
        const std::string n(node->local_name(), node->local_name_size());
        if (n == "linearGradient")
          TransformTraversal::load_expected_element(node, tc, svgpp::tag::element::linearGradient());
        else
          TransformTraversal::load_expected_element(node, tc, svgpp::tag::element::radialGradient());
        gradient.transform = tc.matrix;
        haveTransform = true;
      }
      if (!haveStops)
        haveStops = ReadStops(*node, gradient.stops);
      const std::string next = HrefTarget(*node);
      node = next.empty() ? nullptr : FindById(next);
    }
    // Relative-unit defaults: a linear gradient runs left to right, a radial one fills the box.
    if (!have[2] && !gradient.userSpace)
      gradient.x2Pct = false;
    return true;
  }

private:
  void Index(XMLNode& node)
  {
    if (const auto* id = node.first_attribute("id"))
      mIds.emplace(std::string(id->value(), id->value_size()), &node);
    for (XMLNode* child = node.first_node(); child; child = child->next_sibling())
      if (child->type() == rapidxml_ns::node_element)
        Index(*child);
  }

  static bool ReadStops(const XMLNode& gradient, std::vector<GradientStop>& stops)
  {
    bool any = false;
    float last = 0.0f;
    for (XMLNode* child = gradient.first_node(); child; child = child->next_sibling())
    {
      if (child->type() != rapidxml_ns::node_element ||
          std::string(child->local_name(), child->local_name_size()) != "stop")
        continue;
      StopContext sc;
      StopTraversal::load_expected_element(child, sc, svgpp::tag::element::stop());
      GradientStop stop;
      const double alpha = std::clamp(sc.opacity, 0.0, 1.0);
      stop.color = PackRGB(sc.color) | (static_cast<uint32_t>(std::lround(alpha * 255)) << 24);
      // Offsets never run backwards.
      stop.offset = std::max(last, static_cast<float>(std::clamp(sc.offset, 0.0, 1.0)));
      last = stop.offset;
      stops.push_back(stop);
      any = true;
    }
    return any;
  }

  std::map<std::string, const XMLNode*> mIds;
};

using LengthFactory = svgpp::factory::length::unitless<double, double, svgpp::tag::length_units::in>;

struct Style
{
  Matrix ctm = kIdentity;
  int fillType = kPaintColor;
  uint32_t fillColor = 0;
  std::string fillRef;
  int strokeType = kPaintNone;
  uint32_t strokeColor = 0;
  std::string strokeRef;
  double opacity = 1, fillOpacity = 1, strokeOpacity = 1;
  double strokeWidth = 1, dashOffset = 0, miterLimit = 4;
  std::vector<double> dashes;
  int join = 0, cap = 0;
  bool visible = true;
};

// Receives every event of the document's rendered elements; one style per open element.
class ShapeContext
{
public:
  ShapeContext(Image& image, const Document& doc, double unitScale)
    : mImage(image)
    , mDoc(doc)
  {
    mStack.emplace_back();
    mStack.back().ctm = {unitScale, 0, 0, unitScale, 0, 0};
  }

  using length_factory_type = LengthFactory;
  const LengthFactory& length_factory() const { return mLength; }
  LengthFactory& MutableLengthFactory() { return mLength; }

  void on_enter_element(svgpp::tag::element::any) { mStack.push_back(mStack.back()); }
  void on_exit_element()
  {
    FinishShape();
    if (mStack.size() > 1)
      mStack.pop_back();
  }

  // Viewport of the root and of nested <svg> elements.
  void set_viewport(double x, double y, double w, double h)
  {
    if (!mViewportSeen)
    {
      mImage.width = static_cast<float>(w);
      mImage.height = static_cast<float>(h);
      mViewportSeen = true;
    }
    else
      Cur().ctm = Multiply(Cur().ctm, {1, 0, 0, 1, x, y});
    mLength.set_viewport_size(w, h);
  }
  void set_viewbox_transform(double tx, double ty, double sx, double sy, bool)
  {
    Cur().ctm = Multiply(Cur().ctm, {sx, 0, 0, sy, tx, ty});
  }
  void set_viewbox_size(double w, double h) { mLength.set_viewport_size(w, h); }
  void get_reference_viewport_size(double& w, double& h)
  {
    w = mReferenceWidth;
    h = mReferenceHeight;
  }
  void disable_rendering() { Cur().visible = false; }
  void SetReferenceSize(double w, double h)
  {
    mReferenceWidth = w;
    mReferenceHeight = h;
    mLength.set_viewport_size(w, h);
  }

  void transform_matrix(const boost::array<double, 6>& m)
  {
    Cur().ctm = Multiply(Cur().ctm, {m[0], m[1], m[2], m[3], m[4], m[5]});
  }

  // Path events: absolute coordinates, lines, cubics and closes only (the policy converts the rest).
  void path_move_to(double x, double y, svgpp::tag::coordinate::absolute)
  {
    EndSubPath();
    mPath.emplace_back();
    AddPoint(x, y);
    mPenX = mStartX = x;
    mPenY = mStartY = y;
  }
  void path_line_to(double x, double y, svgpp::tag::coordinate::absolute)
  {
    EnsureSubPath();
    const double dx = x - mPenX, dy = y - mPenY;
    CubicTo(mPenX + dx / 3, mPenY + dy / 3, x - dx / 3, y - dy / 3, x, y);
  }
  void path_cubic_bezier_to(double x1, double y1, double x2, double y2, double x, double y,
                            svgpp::tag::coordinate::absolute)
  {
    EnsureSubPath();
    CubicTo(x1, y1, x2, y2, x, y);
  }
  void path_quadratic_bezier_to(double x1, double y1, double x, double y, svgpp::tag::coordinate::absolute)
  {
    EnsureSubPath();
    CubicTo(mPenX + 2.0 / 3 * (x1 - mPenX), mPenY + 2.0 / 3 * (y1 - mPenY), x + 2.0 / 3 * (x1 - x),
            y + 2.0 / 3 * (y1 - y), x, y);
  }
  void path_elliptical_arc_to(double, double, double, bool, bool, double x, double y, svgpp::tag::coordinate::absolute)
  {
    path_line_to(x, y, svgpp::tag::coordinate::absolute());
  }
  void path_close_subpath()
  {
    if (mPath.empty())
      return;
    // A close draws a line back to the start; the sub-path is then marked closed.
    if (mPenX != mStartX || mPenY != mStartY)
      path_line_to(mStartX, mStartY, svgpp::tag::coordinate::absolute());
    mPath.back().closed = true;
    mPenX = mStartX;
    mPenY = mStartY;
    mSubPathOpen = false;
  }
  void path_exit() { EndSubPath(); }

  // Presentation attributes.
  void set(svgpp::tag::attribute::fill, svgpp::tag::value::none) { Cur().fillType = kPaintNone; }
  void set(svgpp::tag::attribute::fill, svgpp::tag::value::currentColor) { Cur().fillType = kPaintColor; }
  void set(svgpp::tag::attribute::fill, int color) { SetColor(Cur().fillType, Cur().fillColor, color); }
  template <class IRI>
  void set(svgpp::tag::attribute::fill, svgpp::tag::iri_fragment, const IRI& id)
  {
    Cur().fillType = -1;
    Cur().fillRef = ToString(id);
  }
  template <class IRI, class Fallback>
  void set(svgpp::tag::attribute::fill, svgpp::tag::iri_fragment, const IRI& id, Fallback)
  {
    set(svgpp::tag::attribute::fill(), svgpp::tag::iri_fragment(), id);
  }
  void set(svgpp::tag::attribute::stroke, svgpp::tag::value::none) { Cur().strokeType = kPaintNone; }
  void set(svgpp::tag::attribute::stroke, svgpp::tag::value::currentColor) { Cur().strokeType = kPaintColor; }
  void set(svgpp::tag::attribute::stroke, int color) { SetColor(Cur().strokeType, Cur().strokeColor, color); }
  template <class IRI>
  void set(svgpp::tag::attribute::stroke, svgpp::tag::iri_fragment, const IRI& id)
  {
    Cur().strokeType = -1;
    Cur().strokeRef = ToString(id);
  }
  template <class IRI, class Fallback>
  void set(svgpp::tag::attribute::stroke, svgpp::tag::iri_fragment, const IRI& id, Fallback)
  {
    set(svgpp::tag::attribute::stroke(), svgpp::tag::iri_fragment(), id);
  }
  void set(svgpp::tag::attribute::opacity, double v) { Cur().opacity = std::clamp(v, 0.0, 1.0); }
  void set(svgpp::tag::attribute::fill_opacity, double v) { Cur().fillOpacity = std::clamp(v, 0.0, 1.0); }
  void set(svgpp::tag::attribute::stroke_opacity, double v) { Cur().strokeOpacity = std::clamp(v, 0.0, 1.0); }
  void set(svgpp::tag::attribute::stroke_width, double v) { Cur().strokeWidth = std::max(v, 0.0); }
  void set(svgpp::tag::attribute::stroke_miterlimit, double v) { Cur().miterLimit = std::max(v, 1.0); }
  void set(svgpp::tag::attribute::stroke_dashoffset, double v) { Cur().dashOffset = v; }
  void set(svgpp::tag::attribute::stroke_dasharray, svgpp::tag::value::none) { Cur().dashes.clear(); }
  template <class Range>
  void set(svgpp::tag::attribute::stroke_dasharray, const Range& range)
  {
    Cur().dashes.clear();
    for (auto it = boost::begin(range); it != boost::end(range); ++it)
      Cur().dashes.push_back(std::fabs(static_cast<double>(*it)));
  }
  void set(svgpp::tag::attribute::stroke_linejoin, svgpp::tag::value::miter) { Cur().join = 0; }
  void set(svgpp::tag::attribute::stroke_linejoin, svgpp::tag::value::round) { Cur().join = 1; }
  void set(svgpp::tag::attribute::stroke_linejoin, svgpp::tag::value::bevel) { Cur().join = 2; }
  void set(svgpp::tag::attribute::stroke_linecap, svgpp::tag::value::butt) { Cur().cap = 0; }
  void set(svgpp::tag::attribute::stroke_linecap, svgpp::tag::value::round) { Cur().cap = 1; }
  void set(svgpp::tag::attribute::stroke_linecap, svgpp::tag::value::square) { Cur().cap = 2; }
  void set(svgpp::tag::attribute::display, svgpp::tag::value::none) { Cur().visible = false; }
  void set(svgpp::tag::attribute::visibility, svgpp::tag::value::hidden) { Cur().visible = false; }
  void set(svgpp::tag::attribute::visibility, svgpp::tag::value::collapse) { Cur().visible = false; }
  void set(svgpp::tag::attribute::visibility, svgpp::tag::value::visible) { Cur().visible = true; }
  template <class... Args>
  void set(Args&&...)
  {}

private:
  Style& Cur() { return mStack.back(); }

  static void SetColor(int& type, uint32_t& packed, int color)
  {
    type = kPaintColor;
    packed = PackRGB(color);
  }

  void EnsureSubPath()
  {
    if (!mSubPathOpen)
    {
      const double x = mPenX, y = mPenY;
      path_move_to(x, y, svgpp::tag::coordinate::absolute());
    }
  }

  void AddPoint(double x, double y)
  {
    const Matrix& m = Cur().ctm;
    Path& p = mPath.back();
    p.pts.push_back(static_cast<float>(m[0] * x + m[2] * y + m[4]));
    p.pts.push_back(static_cast<float>(m[1] * x + m[3] * y + m[5]));
    p.npts++;
    mLocalMin[0] = std::min(mLocalMin[0], x);
    mLocalMin[1] = std::min(mLocalMin[1], y);
    mLocalMax[0] = std::max(mLocalMax[0], x);
    mLocalMax[1] = std::max(mLocalMax[1], y);
    mSubPathOpen = true;
  }

  void CubicTo(double x1, double y1, double x2, double y2, double x, double y)
  {
    AddPoint(x1, y1);
    AddPoint(x2, y2);
    AddPoint(x, y);
    mPenX = x;
    mPenY = y;
  }

  void EndSubPath()
  {
    if (!mPath.empty() && mSubPathOpen && mPath.back().npts < 2)
      mPath.pop_back(); // a lone move draws nothing
    mSubPathOpen = false;
  }

  // Turns the collected paths of the element just left into a shape.
  void FinishShape()
  {
    EndSubPath();
    if (mPath.empty())
      return;
    const Style& st = Cur();
    Shape shape;
    shape.paths = std::move(mPath);
    mPath.clear();
    for (Path& p : shape.paths)
      CurveBounds(p);
    // Stroke geometry follows the transform's average scale.
    const Matrix& m = st.ctm;
    const double scale = (std::hypot(m[0], m[1]) + std::hypot(m[2], m[3])) / 2;
    shape.opacity = static_cast<float>(st.opacity);
    shape.strokeWidth = static_cast<float>(st.strokeWidth * scale);
    shape.strokeDashOffset = static_cast<float>(st.dashOffset * scale);
    // An odd dash list repeats once to make pairs.
    std::vector<double> dashes = st.dashes;
    if (dashes.size() % 2)
      dashes.insert(dashes.end(), st.dashes.begin(), st.dashes.end());
    double total = 0;
    for (double d : dashes)
      total += d;
    if (total > 0)
      for (size_t i = 0; i < dashes.size() && i < 8; ++i)
        shape.strokeDashArray[shape.strokeDashCount++] = static_cast<float>(dashes[i] * scale);
    shape.strokeLineJoin = st.join;
    shape.strokeLineCap = st.cap;
    shape.miterLimit = static_cast<float>(st.miterLimit);
    shape.flags = st.visible ? kFlagVisible : 0;
    MakePaint(shape.fill, st.fillType, st.fillColor, st.fillRef, st.fillOpacity);
    MakePaint(shape.stroke, st.strokeType, st.strokeColor, st.strokeRef, st.strokeOpacity);
    mLocalMin[0] = mLocalMin[1] = 1e300;
    mLocalMax[0] = mLocalMax[1] = -1e300;
    mImage.shapes.push_back(std::move(shape));
  }

  void MakePaint(Paint& paint, int type, uint32_t color, const std::string& ref, double opacity)
  {
    const uint32_t alpha = static_cast<uint32_t>(std::lround(opacity * 255)) << 24;
    if (type != -1)
    {
      paint.type = type;
      paint.color = (color & 0xFFFFFF) | alpha;
      return;
    }
    GradientAttributes gradient;
    if (!mDoc.ResolveGradient(ref, gradient) || gradient.stops.empty())
    {
      paint.type = kPaintNone; // a missing reference paints nothing
      return;
    }
    if (gradient.stops.size() == 1)
    {
      paint.type = kPaintColor;
      paint.color = (gradient.stops[0].color & 0xFFFFFF) | alpha;
      return;
    }
    // Gradient space → the gradient's own units → user space of the shape → drawing.
    const double w = mReferenceWidth, h = mReferenceHeight;
    auto ux = [&](double v, bool pct) { return gradient.userSpace && pct ? v * w : v; };
    auto uy = [&](double v, bool pct) { return gradient.userSpace && pct ? v * h : v; };
    Matrix base;
    if (gradient.linear)
    {
      const double x1 = ux(gradient.x1, gradient.x1Pct), y1 = uy(gradient.y1, gradient.y1Pct);
      const double dx = ux(gradient.x2, gradient.x2Pct) - x1, dy = uy(gradient.y2, gradient.y2Pct) - y1;
      base = {dy, -dx, dx, dy, x1, y1};
    }
    else
    {
      const double r = gradient.userSpace && gradient.rPct ? gradient.r * std::sqrt((w * w + h * h) / 2) : gradient.r;
      base = {r, 0, 0, r, ux(gradient.cx, gradient.cxPct), uy(gradient.cy, gradient.cyPct)};
    }
    Matrix units = kIdentity;
    if (!gradient.userSpace)
      units = {mLocalMax[0] - mLocalMin[0], 0, 0, mLocalMax[1] - mLocalMin[1], mLocalMin[0], mLocalMin[1]};
    const Matrix forward = Multiply(Cur().ctm, Multiply(units, Multiply(gradient.transform, base)));
    Matrix inverse;
    if (!Invert(forward, inverse))
    {
      paint.type = kPaintColor; // a degenerate gradient shows its last colour
      paint.color = (gradient.stops.back().color & 0xFFFFFF) | alpha;
      return;
    }
    paint.type = gradient.linear ? kPaintLinearGradient : kPaintRadialGradient;
    for (int i = 0; i < 6; ++i)
      paint.gradient.xform[i] = static_cast<float>(inverse[i]);
    paint.gradient.spread = gradient.spread;
    paint.gradient.stops = gradient.stops;
  }

  Image& mImage;
  const Document& mDoc;
  LengthFactory mLength;
  std::vector<Style> mStack;
  std::vector<Path> mPath;
  bool mSubPathOpen = false;
  bool mViewportSeen = false;
  double mPenX = 0, mPenY = 0, mStartX = 0, mStartY = 0;
  double mLocalMin[2] = {1e300, 1e300}, mLocalMax[2] = {-1e300, -1e300};
  double mReferenceWidth = 100, mReferenceHeight = 100;
};

using RenderedElements =
  boost::mpl::set<svgpp::tag::element::svg, svgpp::tag::element::g, svgpp::tag::element::circle,
                  svgpp::tag::element::ellipse, svgpp::tag::element::line, svgpp::tag::element::path,
                  svgpp::tag::element::polygon, svgpp::tag::element::polyline, svgpp::tag::element::rect>::type;

using StyleAttributes = boost::mpl::set<
  svgpp::tag::attribute::transform, svgpp::tag::attribute::fill, svgpp::tag::attribute::stroke,
  svgpp::tag::attribute::opacity, svgpp::tag::attribute::fill_opacity, svgpp::tag::attribute::stroke_opacity,
  svgpp::tag::attribute::stroke_width, svgpp::tag::attribute::stroke_miterlimit,
  svgpp::tag::attribute::stroke_dashoffset, svgpp::tag::attribute::stroke_dasharray,
  svgpp::tag::attribute::stroke_linejoin, svgpp::tag::attribute::stroke_linecap, svgpp::tag::attribute::display,
  svgpp::tag::attribute::visibility, boost::mpl::pair<svgpp::tag::element::path, svgpp::tag::attribute::d>>::type;

using ProcessedAttributes =
  boost::mpl::fold<boost::mpl::protect<boost::mpl::joint_view<svgpp::traits::shapes_attributes_by_element,
                                                              svgpp::traits::viewport_attributes>>,
                   StyleAttributes, boost::mpl::insert<boost::mpl::_1, boost::mpl::_2>>::type;

using ShapeTraversal = svgpp::document_traversal<
  svgpp::processed_elements<RenderedElements>, svgpp::processed_attributes<ProcessedAttributes>,
  svgpp::viewport_policy<svgpp::policy::viewport::as_transform>,
  svgpp::length_policy<svgpp::policy::length::forward_to_method<ShapeContext>>,
  svgpp::path_policy<svgpp::policy::path::minimal>, svgpp::transform_policy<svgpp::policy::transform::matrix>,
  svgpp::basic_shapes_policy<svgpp::policy::basic_shapes::all_to_path>>;

double UnitInPixels(const char* units, float dpi)
{
  const std::string u(units ? units : "px");
  if (u == "pt")
    return dpi / 72.0;
  if (u == "pc")
    return dpi / 6.0;
  if (u == "mm")
    return dpi / 25.4;
  if (u == "cm")
    return dpi / 2.54;
  if (u == "in")
    return dpi;
  return 1.0;
}

} // namespace

std::unique_ptr<Image> ParseSVG(const char* text, const char* units, float dpi)
{
  if (!text || !text[0])
    return nullptr;
  if (!(dpi > 0))
    dpi = 96.0f;
  try
  {
    std::string source(text);
    // Documents without the SVG namespace are common in the wild; give their root the default one.
    {
      std::vector<char> probe(source.begin(), source.end());
      probe.push_back(0);
      rapidxml_ns::xml_document<char> pre;
      pre.parse<rapidxml_ns::parse_no_namespace | rapidxml_ns::parse_no_string_terminators>(probe.data());
      XMLNode* root = pre.first_node("svg");
      if (!root)
        return nullptr;
      if (!root->first_attribute("xmlns"))
      {
        const size_t at = static_cast<size_t>(root->name() - probe.data()) + root->name_size();
        source.insert(at, " xmlns=\"http://www.w3.org/2000/svg\"");
      }
    }
    std::vector<char> buffer(source.begin(), source.end()); // rapidxml parses in place
    buffer.push_back(0);
    rapidxml_ns::xml_document<char> xml;
    xml.parse<rapidxml_ns::parse_no_string_terminators>(buffer.data());
    XMLNode* root = xml.first_node("svg");
    if (!root)
      return nullptr;

    auto image = std::make_unique<Image>();
    Document doc(*root);
    ShapeContext context(*image, doc, 1.0 / UnitInPixels(units, dpi));
    context.MutableLengthFactory().set_absolute_units_coefficient(dpi, svgpp::tag::length_units::in());
    // Without width and height the document is as large as its viewBox.
    double vb[4] = {0, 0, 100, 100};
    const std::string viewBox = AttrText(*root, "viewBox");
    if (!viewBox.empty())
    {
      std::string s = viewBox;
      std::replace(s.begin(), s.end(), ',', ' ');
      std::sscanf(s.c_str(), "%lf %lf %lf %lf", &vb[0], &vb[1], &vb[2], &vb[3]);
    }
    context.SetReferenceSize(vb[2], vb[3]);
    if (!ShapeTraversal::load_document(root, context))
      return nullptr;
    const double unit = UnitInPixels(units, dpi);
    image->width = static_cast<float>(image->width / unit);
    image->height = static_cast<float>(image->height / unit);
    return image;
  }
  catch (...)
  {
    return nullptr;
  }
}

} // namespace plugkit::gfx::svg
