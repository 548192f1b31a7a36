// Opening a web page or a local file or folder with the desktop's handler (xdg-open).
#pragma once

#include <string>
#include <string_view>

namespace plugkit::gfx {

enum class EOpenTarget
{
  Invalid, // nothing that can be opened
  URL,     // begins with a scheme: "https://…", "mailto:…", "file:///…"
  Path     // a local path, whatever words it contains
};

EOpenTarget ClassifyOpenTarget(std::string_view text);

// What xdg-open is given: the URL unchanged, or the path made absolute (so it can never read as an
// option). Empty for Invalid, and for a path that does not exist.
std::string OpenArgument(std::string_view text);

// Main thread. Starts program (xdg-open) on the text without a shell and without waiting; true when
// it started.
bool OpenURLExternally(std::string_view text, const char* program = "xdg-open");

// Main thread. Opens the folder holding path (select) or path itself in the file manager; false for
// an empty or missing path, or when the opener could not start.
bool RevealPathExternally(std::string_view path, bool select, const char* program = "xdg-open");

} // namespace plugkit::gfx
